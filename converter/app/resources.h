// Resource IDs of Vellumcast.exe, shared by the resource script and the code.
#pragma once

#define kMainIconId 1
