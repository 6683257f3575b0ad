# Ghostscript's Windows platform on top of the Makefile its configure writes for a MinGW-w64
# host. That Makefile would build the Unix platform layer (fopen on UTF-8 names, ":" between
# search paths, /dev/null, text-mode standard streams); this one swaps in the modules
# Ghostscript's own Windows makefiles use (base/winlib.mak, base/winplat.mak, psi/winint.mak)
# and links the console program gswin64c/gswin32c from psi/dwmainc.c, whose wmain hands
# Ghostscript the command line as UTF-8 from the wide one Windows keeps.
#   make -f windows.mak GS_WINDOWS_NAME=gswin64c bin/gswin64c.exe   (in the configured tree)
# `override` keeps the configured Makefile from setting these back as it is read below.

GS_WINDOWS_NAME ?= gswin64c
# What base/msvctail.mak hands every compile. _Windows makes psi/iapi.h declare the API and
# its callbacks __stdcall in every file, not only in those that include windows.h first: on
# i686 a mixture corrupts the stack at the first callback.
# GS_NO_REGISTRY_ENVIRONMENT: GS_LIB and GS_OPTIONS come from the environment only, never
# from another installation's registry keys (windows-platform.patch). BUILD_CFLAGS is the
# caller's (build.sh maps the build folder out of the program).
override XCFLAGS = -DCHECK_INTERRUPTS -D_Windows -D__WIN32__ -DGS_NO_REGISTRY_ENVIRONMENT \
  $(BUILD_CFLAGS)
override GS = $(GS_WINDOWS_NAME)
override GSPLATFORM = mingw_
override SYNC = winsync
# The display device is what dwmainc.c hands its window callbacks to, as in the Windows build.
override DISPLAY_DEV = $(DD)display.dev
override GS_DEV_DEFAULT = "display bbox"
# The configured interpreter features, with the Windows .locale_to_utf8 operator before
# pdfwrite's, in psi/msvc.mak's order.
override PSI_FEATURE_DEVS = $(PSD)psl3.dev $(PSD)pdf.dev $(PSD)epsf.dev $(PSD)ttfont.dev \
  $(PSD)fapi_ps.dev $(PSD)jpx.dev $(PSD)jbig2.dev $(PSD)winutf8.dev $(PSD)gs_pdfwr.dev
override GS_DOT_O = $(PSOBJ)dwmainc.$(OBJ) $(PSOBJ)dwnodllc.$(OBJ) $(PSOBJ)dwimg.$(OBJ) \
  $(PSOBJ)dwreg.$(OBJ)
# One static program without symbols or a link time; wmain (-municode) takes the command line
# as Windows keeps it.
override XLDFLAGS = -static -municode -s -Wl,--no-insert-timestamp
# Everything it reads is in %rom%: no folder on disk is searched by default (the configured
# default is a ":"-separated list of /usr folders).
override GS_LIB_DEFAULT =
override XTRALIBS = -lwinspool -lgdi32 -lcomdlg32 -lshell32 -luser32 -ladvapi32
override XE_ALL = $(GS_DOT_O) $(INT_ARCHIVE_ALL) $(INT_ALL) $(DEVS_ALL)

include Makefile

WINDOWS_MAK = $(firstword $(MAKEFILE_LIST)) $(TOP_MAKEFILES)

# base/winlib.mak's mswin32_ with base/winplat.mak's winplat (no XPS printing), and the
# features psi/msvc.mak adds: Windows handles (%handle%), printers (%printer%), polling.
mingw_inc = $(GLD)nosync.dev $(GLD)smd5.dev $(GLD)mshandle.dev $(GLD)mspoll.dev \
  $(GLD)msprinter.dev
mingw__ = $(GLOBJ)gp_mswin.$(OBJ) $(GLOBJ)gp_wgetv.$(OBJ) $(GLOBJ)gp_wpapr.$(OBJ) \
  $(GLOBJ)gp_stdia.$(OBJ) $(GLOBJ)gp_wutf8.$(OBJ) $(GLOBJ)gp_winfs.$(OBJ) \
  $(GLOBJ)gp_ntfs.$(OBJ) $(GLOBJ)gp_win32.$(OBJ) $(GLOBJ)gp_nxpsprn.$(OBJ)

$(GLGEN)mingw_.dev: $(mingw__) $(ECHOGS_XE) $(mingw_inc) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(GLGEN)mingw_ $(mingw__)
	$(ADDMOD) $(GLGEN)mingw_ -include $(basename $(mingw_inc))

$(GLD)winsync.dev: $(GLOBJ)gp_wsync.$(OBJ) $(ECHOGS_XE) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(GLD)winsync $(GLOBJ)gp_wsync.$(OBJ)
	$(ADDMOD) $(GLD)winsync -replace $(GLD)nosync

$(GLD)mshandle.dev: $(GLOBJ)gp_mshdl.$(OBJ) $(ECHOGS_XE) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(GLD)mshandle $(GLOBJ)gp_mshdl.$(OBJ)
	$(ADDMOD) $(GLD)mshandle -iodev handle

$(GLD)msprinter.dev: $(GLOBJ)gp_msprn.$(OBJ) $(ECHOGS_XE) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(GLD)msprinter $(GLOBJ)gp_msprn.$(OBJ)
	$(ADDMOD) $(GLD)msprinter -iodev printer

$(GLD)mspoll.dev: $(GLOBJ)gp_mspol.$(OBJ) $(ECHOGS_XE) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(GLD)mspoll $(GLOBJ)gp_mspol.$(OBJ)

$(PSD)winutf8.dev: $(PSOBJ)zwinutf8.$(OBJ) $(ECHOGS_XE) $(WINDOWS_MAK) $(MAKEDIRS)
	$(SETMOD) $(PSD)winutf8 $(PSOBJ)zwinutf8.$(OBJ)
	$(ADDMOD) $(PSD)winutf8 -oper zwinutf8

# Every Windows module compiles alike; the headers they include are Ghostscript's own.
WINDOWS_GL_SOURCES = gp_mswin gp_wgetv gp_wpapr gp_wutf8 gp_winfs gp_ntfs gp_win32 gp_wsync \
  gp_mshdl gp_msprn gp_mspol
$(addprefix $(GLOBJ),$(addsuffix .$(OBJ),$(WINDOWS_GL_SOURCES))): $(GLOBJ)%.$(OBJ): $(GLSRC)%.c \
  $(AK) $(gx_h) $(gp_h) $(arch_h) $(WINDOWS_MAK) $(MAKEDIRS)
	$(GLCC) $(GLO_)$*.$(OBJ) $(C_) $<

$(PSOBJ)zwinutf8.$(OBJ): $(PSSRC)zwinutf8.c $(OP) $(ghost_h) $(oper_h) $(iutil_h) $(store_h) \
  $(WINDOWS_MAK) $(MAKEDIRS)
	$(PSCC) $(PSO_)zwinutf8.$(OBJ) $(C_) $(PSSRC)zwinutf8.c

# The console program's own modules (psi/winint.mak's OBJCNO: no DLL, Ghostscript linked in).
$(PSOBJ)dwmainc.$(OBJ) $(PSOBJ)dwimg.$(OBJ) $(PSOBJ)dwreg.$(OBJ): $(PSOBJ)%.$(OBJ): $(PSSRC)%.c \
  $(AK) $(arch_h) $(iapi_h) $(gdevdsp_h) $(WINDOWS_MAK) $(MAKEDIRS)
	$(PSCC) $(PSO_)$*.$(OBJ) $(C_) $<

$(PSOBJ)dwnodllc.$(OBJ): $(PSSRC)dwnodll.c $(AK) $(arch_h) $(iapi_h) $(WINDOWS_MAK) $(MAKEDIRS)
	$(PSCC) $(PSO_)dwnodllc.$(OBJ) $(C_) $(PSSRC)dwnodll.c
