# The one place for version numbers: the programs' version resources (through the generated
# header vellumcast_version.h) and the installer (passed to makensis) take them from here.

# The product: Vellumcast.exe, its About tab and the installer. The text form may carry a
# letter; the numeric form is what Windows shows as the file version.
set(VELLUMCAST_VERSION_TEXT "0.15")
set(VELLUMCAST_VERSION_NUMBERS 0 15 0 0)

# Spoolwick.exe's own file version is part of the capture program's fixed contract with the
# printer port (its version record stays 1.0.0.1 whatever the product version is).
set(SPOOLWICK_VERSION_NUMBERS 1 0 0 1)

list(JOIN VELLUMCAST_VERSION_NUMBERS "," VELLUMCAST_VERSION_COMMAS)
list(JOIN VELLUMCAST_VERSION_NUMBERS "." VELLUMCAST_VERSION_DOTTED)
list(JOIN SPOOLWICK_VERSION_NUMBERS "," SPOOLWICK_VERSION_COMMAS)
list(JOIN SPOOLWICK_VERSION_NUMBERS ", " SPOOLWICK_VERSION_SPACED)

configure_file(${CMAKE_CURRENT_LIST_DIR}/vellumcast_version.h.in
    ${PROJECT_BINARY_DIR}/generated/vellumcast_version.h @ONLY)
# Targets whose sources or resource scripts include vellumcast_version.h link this.
add_library(vellumcast_version INTERFACE)
target_include_directories(vellumcast_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
set(VELLUMCAST_VERSION_HEADER ${PROJECT_BINARY_DIR}/generated/vellumcast_version.h)
