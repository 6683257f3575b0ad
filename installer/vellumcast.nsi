; The Vellumcast installer: both programs, the port monitor and the printer "Vellumcast PDF"
; in one setup, Japanese first, English second. Built by installer/CMakeLists.txt, which
; passes with /D:
;   VERSION_TEXT, VERSION_DOTTED   from cmake/version.cmake
;   TARGET                         x86-unicode (shipped) or amd64-unicode (64-bit test build)
;   SPOOLWICK, VELLUMCAST          the two programs, of the installer's bitness
;   SETUP_X86, SETUP_X64           Vellumcast-setup.exe of each bitness (SETUP_X86 only in x86)
;   MONITOR_X86, MONITOR_X64       VellumcastMon.dll of each bitness (MONITOR_X86 only in x86)
;   GHOSTSCRIPT, GHOSTSCRIPT_EXE   the Windows Ghostscript of the installer's bitness (built
;                                  from Debian's source) and its file name
;   GHOSTSCRIPT_NOTICES            its licence and the notices of what it links
;   LICENSE, LICENSE_PAGE          our licence, and the licence page (ours and Ghostscript's)
;   PPD, ICON, OUTFILE
; Whatever talks to the spooler is the machine's native build: on 64-bit Windows the 64-bit
; setup program and monitor, also from this 32-bit installer. ARM64 has no monitor build yet
; and is refused before anything changes.

Unicode true
Target ${TARGET}
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh
; In a 64-bit build some platform tests are constant, which leaves LogicLib's labels unused.
!pragma warning disable 6012

!define PRODUCT "Vellumcast"
!define PUBLISHER "Vellumcast"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellumcast"
!define MONITOR_DLL "VellumcastMon.dll"
; The machine's default settings, which each user's own settings override key by key; the
; install marker in it makes the programs keep each user's data in that user's own folder.
!define MACHINE_INI "$INSTDIR\Vellumcast.ini"
; The Ghostscript the programs use unless the defaults name another that exists.
!define BUNDLED_GS "gs\${GHOSTSCRIPT_EXE}"
!define SETUP_EXE "Vellumcast-setup.exe"
; The capture program builds "<folder>\Vellumcast.exe" "<folder>\$$temp.ps" in 260 bytes:
; its folder, with the final "\", may be at most 115 bytes in the ANSI code page.
!define MAX_FOLDER_BYTES 115

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION_TEXT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_DOTTED}"
VIFileVersion "${VERSION_DOTTED}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

Var Step        ; the step under way, named in the message when it fails
Var StepError   ; what went wrong in it
Var Done        ; how far the installation got: the number of the last step begun
Var Upgrade     ; 1 when an earlier installation lives in $INSTDIR
Var Setup            ; the private copy of the native setup program, in $PLUGINSDIR
Var MonitorWasThere  ; 1 when a monitor DLL was in the system folder before this run
Var MonitorBackedUp  ; 1 when that DLL was copied to $PLUGINSDIR\backup

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_PAGE}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "$(UnComponentsText)"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
; Offers the restart when a monitor still loaded is deleted only then.
!insertmacro MUI_UNPAGE_FINISH

; The first language is the one used where the system's is neither.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"
!include "strings.nsh"

; The registry view and the system folder of the monitor's bitness: the 64-bit ones on 64-bit
; Windows (the spooler there loads only 64-bit monitors). The file system redirection of a
; 32-bit installer is turned off only around the system folder: with it off, a system DLL
; loaded meanwhile would be the 64-bit one. ${IsNativeAMD64}, not ${RunningX64}: the latter
; is also true on ARM64.
!macro NativeView
  ${If} ${IsNativeAMD64}
    SetRegView 64
  ${EndIf}
!macroend
!macro SystemFolder
  ${If} ${IsNativeAMD64}
    ${DisableX64FSRedirection}
  ${EndIf}
!macroend
!macro EndSystemFolder
  ${If} ${IsNativeAMD64}
    ${EnableX64FSRedirection}
  ${EndIf}
!macroend

; RefuseUnsupported: only x86 and x64 Windows have a monitor build; anything else ends here,
; before anything is changed.
!macro RefuseUnsupported
  ${IfNot} ${IsNativeAMD64}
  ${AndIfNot} ${IsNativeIA32}
    MessageBox MB_OK|MB_ICONSTOP "$(Arm64Refused)" /SD IDOK
    ${If} ${Silent}
      FileOpen $0 "$TEMP\VellumcastSetup.log" w
      FileWrite $0 "$(Arm64Refused)$\r$\n"
      FileClose $0
    ${EndIf}
    SetErrorLevel 3
    Quit
  ${EndIf}
!macroend

; PrivateSetup: the native setup program and the PPD it reads, written into this run's own
; $PLUGINSDIR (which only this elevated process can write), never run from a folder anyone
; else could have changed. Sets $Setup.
!macro PrivateSetup un
Function ${un}PrivateSetup
  SetOutPath "$PLUGINSDIR\setup"
  ${If} ${IsNativeAMD64}
    File "/oname=${SETUP_EXE}" "${SETUP_X64}"
  ${Else}
!ifdef SETUP_X86
    File "/oname=${SETUP_EXE}" "${SETUP_X86}"
!endif
  ${EndIf}
  File "/oname=Vellumcast.ppd" "${PPD}"
  StrCpy $Setup "$PLUGINSDIR\setup\${SETUP_EXE}"
FunctionEnd
!macroend
!insertmacro PrivateSetup ""
!insertmacro PrivateSetup "un."

; RemoveSystemFile: deletes $0 in the system folder (redirection already off). A DLL the
; spooler holds cannot be deleted but can be renamed: it goes aside under a name of its own
; and only that name is deleted at the next restart, so a new DLL written to $0 before the
; restart survives it. Sets the error flag when the file stays where it was.
!macro RemoveSystemFile un
Function ${un}RemoveSystemFile
  Push $1
  Push $2
  ClearErrors
  Delete "$0"
  ${If} ${Errors}
    System::Call 'kernel32::GetTickCount() i .r1'
    ${Do}
      StrCpy $2 "$0.$1.old"
      ${IfNot} ${FileExists} "$2"
        ${ExitDo}
      ${EndIf}
      IntOp $1 $1 + 1
    ${Loop}
    ClearErrors
    Rename "$0" "$2"
    ${IfNot} ${Errors}
      Delete /REBOOTOK "$2"
      ClearErrors
      DetailPrint "$(DeleteAtRestart)"
    ${Else}
      SetErrors
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro RemoveSystemFile ""
!insertmacro RemoveSystemFile "un."

; ---------------------------------------------------------------------------------------------
; Helpers

; AnsiLength: the length in bytes of $0 in the ANSI code page, or -1 when a character of it has
; no exact equivalent there (the capture and the settings file know only ANSI paths).
!macro AnsiLength un
Function ${un}AnsiLength
  Push $2
  Push $3
  ; WC_NO_BEST_FIT_CHARS: a look-alike is not the same path.
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w r0, i -1, p 0, i 0, p 0, *i 0 r2) i .r3'
  ${If} $2 <> 0
  ${OrIf} $3 = 0
    StrCpy $1 -1
  ${Else}
    IntOp $1 $3 - 1
  ${EndIf}
  Pop $3
  Pop $2
FunctionEnd
!macroend
!insertmacro AnsiLength ""

; FolderUsable: $0 = 1 when $INSTDIR suits the capture program, else 0.
Function FolderUsable
  Push $1
  Push $0
  StrCpy $0 "$INSTDIR\"
  Call AnsiLength
  Pop $0
  ${If} $1 < 0
  ${OrIf} $1 > ${MAX_FOLDER_BYTES}
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Pop $1
FunctionEnd

Function FolderPageLeave
  Call FolderUsable
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderUnusable)"
    Abort
  ${EndIf}
FunctionEnd

; Fail: ends the installation in the step under way; .onInstFailed undoes what was done.
!macro Fail detail
  StrCpy $StepError "${detail}"
  DetailPrint "$StepError"
  Abort "$Step"
!macroend

!macro BeginStep number text
  StrCpy $Done ${number}
  StrCpy $Step "${text}"
  DetailPrint "--- $Step"
!macroend

; SetAcl: gives $0 the access list $1 (security descriptor text); $2 = the security information
; flags. Sets $1 to the Windows error (0 on success).
Function SetAcl
  Push $3
  Push $4
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w r1, i 1, *p .r3, p 0) i .r4'
  ${If} $4 = 0
    System::Call 'kernel32::GetLastError() i .r1'
  ${Else}
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r3, *i .r4, *p .r1, *i .r4) i .r4'
    ; SE_FILE_OBJECT = 1
    System::Call 'advapi32::SetNamedSecurityInfoW(w r0, i 1, i r2, p 0, p 0, p r1, p 0) i .r1'
    System::Call 'kernel32::LocalFree(p r3)'
  ${EndIf}
  Pop $4
  Pop $3
FunctionEnd

; The monitor's own log (with SetShellVarContext all, $APPDATA is ProgramData).
!macro DeleteMonitorLog
  Delete "$APPDATA\Vellumcast\VellumcastMon.log"
  Delete "$APPDATA\Vellumcast\VellumcastMon.log.old"
  RMDir "$APPDATA\Vellumcast"
!macroend

; ---------------------------------------------------------------------------------------------
; The files an installation owns in its folder, and their backups for an upgrade that fails.

!macro ForEachProgramFile macro
  !insertmacro ${macro} "${BUNDLED_GS}"
  !insertmacro ${macro} "gs\THIRD-PARTY-NOTICES.txt"
  !insertmacro ${macro} "LICENSE.txt"
  !insertmacro ${macro} "Spoolwick.exe"
  !insertmacro ${macro} "Vellumcast.exe"
  !insertmacro ${macro} "${SETUP_EXE}"
  !insertmacro ${macro} "Vellumcast.ppd"
!macroend

; A backup that fails ends the step before anything is replaced: a rollback must never lack
; the copy it would restore.
!macro BackUp name
  ${If} ${FileExists} "$INSTDIR\${name}"
    ClearErrors
    CopyFiles /SILENT "$INSTDIR\${name}" "$PLUGINSDIR\backup\${name}"
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "$PLUGINSDIR\backup\${name}"
      StrCpy $0 "$PLUGINSDIR\backup\${name}"
      !insertmacro Fail "$(BackupFailed)"
    ${EndIf}
  ${EndIf}
!macroend

!macro Restore name
  ${If} ${FileExists} "$PLUGINSDIR\backup\${name}"
    CopyFiles /SILENT "$PLUGINSDIR\backup\${name}" "$INSTDIR\${name}"
  ${Else}
    Delete "$INSTDIR\${name}"
  ${EndIf}
!macroend

; Program files are read and run by everyone and changed by administrators only, whatever the
; folder's own list says.
!macro ProtectFile name
  StrCpy $0 "$INSTDIR\${name}"
  StrCpy $1 "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)"
  StrCpy $2 0x80000004 ; DACL | PROTECTED_DACL
  Call SetAcl
  ${If} $1 <> 0
    !insertmacro Fail "$(RightsFailed)"
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------------
; What an earlier version's programs left beside them, when they kept every user's jobs there:
; the job file, kept jobs and private PDFs ("$$..."), PDFs left there and the hand-off log. They
; go to a folder only administrators can read (README: "セキュリティ"); nothing is deleted.
!define LEFTOVERS "$APPDATA\Vellumcast\Leftovers"

; MoveLeftover: moves the files of $INSTDIR matching $R0 to ${LEFTOVERS} under free names.
Function MoveLeftover
  Push $R1
  Push $R2
  Push $R3
  FindFirst $R1 $R2 "$INSTDIR\$R0"
  ${DoWhile} $R2 != ""
    ${IfNot} ${FileExists} "$INSTDIR\$R2\*.*"
      ${IfNot} ${FileExists} "${LEFTOVERS}\*.*"
        CreateDirectory "${LEFTOVERS}"
        StrCpy $0 "${LEFTOVERS}"
        StrCpy $1 "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
        StrCpy $2 0x80000004 ; DACL | PROTECTED_DACL
        Call SetAcl
      ${EndIf}
      StrCpy $R3 "${LEFTOVERS}\$R2"
      ${If} ${FileExists} "$R3"
        StrCpy $R3 "${LEFTOVERS}\$R2.$Done.$R1"
      ${EndIf}
      ClearErrors
      Rename "$INSTDIR\$R2" "$R3"
      ${If} ${Errors}
        DetailPrint "$(LeftoverNotMoved)"
      ${Else}
        DetailPrint "$(LeftoverMoved)"
      ${EndIf}
    ${EndIf}
    FindNext $R1 $R2
  ${Loop}
  FindClose $R1
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

Function MoveLeftovers
  Push $R0
  StrCpy $R0 "$$$$*"
  Call MoveLeftover
  StrCpy $R0 "*.pdf"
  Call MoveLeftover
  StrCpy $R0 "log.txt"
  Call MoveLeftover
  Pop $R0
FunctionEnd

; ---------------------------------------------------------------------------------------------

Function .onInit
  !insertmacro RefuseUnsupported
  InitPluginsDir
  !insertmacro NativeView
  ; An earlier installation (in the native view, where this installer writes) sets the folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Section "-Vellumcast"
  SetShellVarContext all
  StrCpy $Done 0

  !insertmacro BeginStep 1 "$(StepCheckFolder)"
  Call FolderUsable
  ${If} $0 = 0
    !insertmacro Fail "$(FolderUnusable)"
  ${EndIf}
  StrCpy $Upgrade 0
  ${IfThen} ${FileExists} "$INSTDIR\Spoolwick.exe" ${|} StrCpy $Upgrade 1 ${|}

  !insertmacro BeginStep 2 "$(StepFiles)"
  CreateDirectory "$PLUGINSDIR\backup\gs"
  !insertmacro ForEachProgramFile BackUp
  !insertmacro BackUp "Vellumcast.ini"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  ClearErrors
  File "/oname=Spoolwick.exe" "${SPOOLWICK}"
  File "/oname=Vellumcast.exe" "${VELLUMCAST}"
  ; The native build, for setting the printer up by hand.
  ${If} ${IsNativeAMD64}
    File "/oname=${SETUP_EXE}" "${SETUP_X64}"
  ${Else}
!ifdef SETUP_X86
    File "/oname=${SETUP_EXE}" "${SETUP_X86}"
!endif
  ${EndIf}
  File "/oname=Vellumcast.ppd" "${PPD}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  SetOutPath "$INSTDIR\gs"
  File "/oname=${GHOSTSCRIPT_EXE}" "${GHOSTSCRIPT}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${GHOSTSCRIPT_NOTICES}"
  SetOutPath "$INSTDIR"
  ${If} ${Errors}
    StrCpy $0 "$INSTDIR"
    !insertmacro Fail "$(FileFailed)"
  ${EndIf}

  !insertmacro BeginStep 3 "$(StepRights)"
  ; Users read and run what lies in the folder and change nothing there: no DLL, program or
  ; machine setting of it is theirs to replace (each user's jobs and settings live in that
  ; user's own folder). The list is protected and inherited by every file, so a grant to
  ; users that an earlier version gave the folder goes, from its files too.
  StrCpy $0 "$INSTDIR"
  StrCpy $1 "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"
  StrCpy $2 0x80000004 ; DACL | PROTECTED_DACL
  Call SetAcl
  ${If} $1 <> 0
    !insertmacro Fail "$(RightsFailed)"
  ${EndIf}
  !insertmacro ForEachProgramFile ProtectFile
  ${If} $Upgrade = 1
    Call MoveLeftovers
  ${EndIf}

  !insertmacro BeginStep 4 "$(StepSettings)"
  ; The machine's defaults, which every user's own settings override key by key: an
  ; administrator's file given with /INI=<file>, else what an earlier installation had.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/INI=" $R1
  ${IfNot} ${Errors}
    ${IfNot} ${FileExists} "$R1"
      !insertmacro Fail "$(IniMissing)"
    ${EndIf}
    ClearErrors
    CopyFiles /SILENT "$R1" "${MACHINE_INI}"
    ${If} ${Errors}
      StrCpy $0 "${MACHINE_INI}"
      !insertmacro Fail "$(FileFailed)"
    ${EndIf}
    DetailPrint "$(IniDeployed)"
  ${EndIf}
  ; The bundled Ghostscript, unless the defaults name one that still exists.
  ReadINIStr $R2 "${MACHINE_INI}" "Conv" "Path"
  ${If} $R2 != ""
  ${AndIf} ${FileExists} "$R2"
    DetailPrint "$(SettingsKept)"
  ${Else}
    ClearErrors
    ; A new file is created in the ANSI code page, which the converter reads; the folder's
    ; name was checked to fit it.
    WriteINIStr "${MACHINE_INI}" "Conv" "Path" "$INSTDIR\${BUNDLED_GS}"
    ${If} ${Errors}
      StrCpy $0 "${MACHINE_INI}"
      !insertmacro Fail "$(FileFailed)"
    ${EndIf}
    DetailPrint "$(GhostscriptBundled)"
  ${EndIf}
  ; The install marker: the programs keep each user's data in that user's own folder.
  ClearErrors
  WriteINIStr "${MACHINE_INI}" "Install" "PerUser" "1"
  ${If} ${Errors}
    StrCpy $0 "${MACHINE_INI}"
    !insertmacro Fail "$(FileFailed)"
  ${EndIf}

  !insertmacro BeginStep 5 "$(StepMonitor)"
  StrCpy $MonitorWasThere 0
  StrCpy $MonitorBackedUp 0
  !insertmacro SystemFolder
  ; Aside copies of earlier upgrades that were not loaded any more.
  Delete "$SYSDIR\${MONITOR_DLL}.*.old"
  Delete "$SYSDIR\${MONITOR_DLL}.old"
  ${If} ${FileExists} "$SYSDIR\${MONITOR_DLL}"
    StrCpy $MonitorWasThere 1
    ; CopyFileW rather than CopyFiles: the shell would load DLLs here.
    System::Call 'kernel32::CopyFileW(w "$SYSDIR\${MONITOR_DLL}", w "$PLUGINSDIR\backup\${MONITOR_DLL}", i 0) i .r0'
    ${If} $0 = 0
      !insertmacro EndSystemFolder
      StrCpy $0 "$PLUGINSDIR\backup\${MONITOR_DLL}"
      !insertmacro Fail "$(BackupFailed)"
    ${EndIf}
    StrCpy $MonitorBackedUp 1
    ; The spooler keeps a monitor it has loaded: it goes aside and the new one takes over
    ; when the spooler restarts.
    StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
    Call RemoveSystemFile
    ${If} ${Errors}
      !insertmacro EndSystemFolder
      StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
      !insertmacro Fail "$(FileFailed)"
    ${EndIf}
  ${EndIf}
  SetOutPath "$SYSDIR"
  ClearErrors
  ${If} ${IsNativeAMD64}
    File "/oname=${MONITOR_DLL}" "${MONITOR_X64}"
  ${Else}
!ifdef MONITOR_X86
    File "/oname=${MONITOR_DLL}" "${MONITOR_X86}"
!else
    SetErrors
!endif
  ${EndIf}
  !insertmacro EndSystemFolder
  SetOutPath "$INSTDIR"
  ${If} ${Errors}
    StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
    !insertmacro Fail "$(FileFailed)"
  ${EndIf}

  !insertmacro BeginStep 6 "$(StepPrinter)"
  Call PrivateSetup
  SetOutPath "$INSTDIR"
  nsExec::ExecToStack '"$Setup" install "$INSTDIR\Spoolwick.exe"'
  Pop $0
  Pop $1
  DetailPrint "$1"
  ${If} $0 != 0
    !insertmacro Fail "$(SetupFailed)$\r$\n$1"
  ${EndIf}

  !insertmacro BeginStep 7 "$(StepUninstaller)"
  ; WriteUninstaller reports no failure: see that the file is there and readable.
  Delete "$INSTDIR\uninstall.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ClearErrors
  FileOpen $0 "$INSTDIR\uninstall.exe" r
  ${If} ${Errors}
    StrCpy $0 "$INSTDIR\uninstall.exe"
    !insertmacro Fail "$(FileFailed)"
  ${EndIf}
  FileClose $0
  ; An administrator runs it: users must not be able to change it.
  !insertmacro ProtectFile "uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\$(ShortcutName).lnk" "$INSTDIR\Vellumcast.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION_TEXT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vellumcast.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  !insertmacro SystemFolder
  ${GetSize} "$SYSDIR" "/M=${MONITOR_DLL} /S=0K /G=0" $1 $2 $3
  !insertmacro EndSystemFolder
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${If} ${Errors}
    StrCpy $0 "HKLM\${UNINSTALL_KEY}"
    !insertmacro Fail "$(FileFailed)"
  ${EndIf}
  ; The step counter says "all done": nothing is undone after this point.
  StrCpy $Done 99
  SetErrorLevel 0
SectionEnd

; A step failed (or the user cancelled a file error): undo, newest first, what this run did,
; then say which step failed.
Function .onInstFailed
  ${If} $Done >= 99
    Return
  ${EndIf}
  DetailPrint "$(RollingBack)"
  ${If} $Done >= 7
  ${AndIf} $Upgrade = 0
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$SMPROGRAMS\${PRODUCT}\$(ShortcutName).lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    Delete "$INSTDIR\uninstall.exe"
  ${EndIf}
  ${If} $Done >= 6
  ${AndIf} $Upgrade = 0
    nsExec::ExecToLog '"$Setup" uninstall'
    Pop $0
    !insertmacro DeleteMonitorLog
  ${EndIf}
  ${If} $Done >= 5
    !insertmacro SystemFolder
    ${If} $MonitorBackedUp = 1
      ; The earlier monitor comes back; the new one may be loaded by now.
      StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
      Call RemoveSystemFile
      System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\backup\${MONITOR_DLL}", w "$SYSDIR\${MONITOR_DLL}", i 0)'
    ${ElseIf} $MonitorWasThere = 0
      ; Only this run's own monitor goes; one this run has no copy of stays where it is.
      StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
      Call RemoveSystemFile
    ${EndIf}
    !insertmacro EndSystemFolder
  ${EndIf}
  ${If} $Done >= 4
    !insertmacro Restore "Vellumcast.ini"
  ${EndIf}
  ${If} $Done >= 2
    !insertmacro ForEachProgramFile Restore
    RMDir "$INSTDIR\gs" ; only when this run made it and left nothing in it
  ${EndIf}
  ${If} $Upgrade = 0
    ; Only an empty folder goes: nothing of the user's is removed.
    RMDir "$INSTDIR"
  ${EndIf}
  ${If} $Step != ""
    MessageBox MB_OK|MB_ICONSTOP "$(StepFailed)" /SD IDOK
    ; A silent installation shows nothing: its caller finds the reason in the temp folder.
    ${If} ${Silent}
      FileOpen $0 "$TEMP\VellumcastSetup.log" w
      FileWrite $0 "$(StepFailed)$\r$\n"
      FileClose $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Uninstaller

Function un.onInit
  !insertmacro RefuseUnsupported
  InitPluginsDir
  !insertmacro NativeView
FunctionEnd

Section "un.$(UnSectionPrograms)" UnSecPrograms
  SectionIn RO
  SetShellVarContext all
  ; Queue, port, driver and monitor first: the spooler lets go of the monitor only then. The
  ; setup program's report (the jobs purged from the queue among it) goes to the log too.
  Call un.PrivateSetup
  SetOutPath "$TEMP"
  nsExec::ExecToStack '"$Setup" uninstall'
  Pop $0
  Pop $1
  DetailPrint "$1"
  FileOpen $2 "$TEMP\VellumcastUninstall.log" w
  FileWrite $2 "$1"
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "$(UnPrinterFailed)" /SD IDOK
    FileWrite $2 "$(UnPrinterFailed)$\r$\n"
    FileClose $2
    SetErrorLevel 2
    Quit
  ${EndIf}
  !insertmacro SystemFolder
  StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
  ${If} ${FileExists} "$0"
    Call un.RemoveSystemFile
  ${EndIf}
  Delete "$SYSDIR\${MONITOR_DLL}.*.old"
  Delete /REBOOTOK "$SYSDIR\${MONITOR_DLL}.old"
  !insertmacro EndSystemFolder
  ${If} ${RebootFlag}
    StrCpy $0 "$SYSDIR\${MONITOR_DLL}"
    DetailPrint "$(UnRestartNeeded)"
    FileWrite $2 "$(UnRestartNeeded)$\r$\n"
  ${EndIf}
  FileClose $2
  !insertmacro DeleteMonitorLog
  Delete "$INSTDIR\${SETUP_EXE}"
  Delete "$INSTDIR\Vellumcast.ppd"
  Delete "$INSTDIR\Spoolwick.exe"
  Delete "$INSTDIR\Vellumcast.exe"
  Delete "$INSTDIR\${BUNDLED_GS}"
  Delete "$INSTDIR\gs\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\LICENSE.txt"
  RMDir "$INSTDIR\gs"
  ; Users' jobs live in their own folders; anything else in this one (the folder then stays
  ; too) is not ours to delete.
  Delete "$SMPROGRAMS\${PRODUCT}\$(ShortcutName).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
SectionEnd

Section /o "un.$(UnSectionSettings)" UnSecSettings
  Delete "$INSTDIR\Vellumcast.ini"
SectionEnd

Section "-un.Folder"
  ; Removed only when empty: PDFs stored in it (and the settings, if kept) stay.
  ClearErrors
  RMDir "$INSTDIR"
  ${If} ${Errors}
    DetailPrint "$(UnKept)"
  ${EndIf}
SectionEnd
