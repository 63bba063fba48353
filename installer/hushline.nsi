; Windows installer for Hushline.
; The build passes: VERSION (x.y.z), VERSION_MAJOR, VERSION_MINOR, EXE (the built
; Hushline.exe), ICON (the program icon) and OUTFILE (the installer to write).

!ifndef VERSION | VERSION_MAJOR | VERSION_MINOR | EXE | ICON | OUTFILE
  !error "makensis needs -DVERSION, -DVERSION_MAJOR, -DVERSION_MINOR, -DEXE, -DICON and -DOUTFILE"
!endif

!define PRODUCT "Hushline"
!define PUBLISHER "Hushline developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program copies this file into the user's Startup folder for "Auto Start" and deletes
; it from there for "No Auto Start"; it never makes the shortcut itself.
!define SHORTCUT "${PRODUCT}.lnk"

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Hushline" SecProgram
  SectionIn RO
  SetShellVarContext all

  SetOutPath "$INSTDIR"
  File "/oname=Hushline.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; CreateShortcut takes the output folder as the link's working folder.
  CreateShortcut "$INSTDIR\${SHORTCUT}" "$INSTDIR\Hushline.exe" "" "$INSTDIR\Hushline.exe" 0
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\Hushline.exe" "" "$INSTDIR\Hushline.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Hushline.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; A running Hushline keeps its file locked: then it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\Hushline.exe"
  Delete "$INSTDIR\${SHORTCUT}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not recursive: the folder goes only if nothing of the user's is left in it.
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"

  ; "Auto Start" puts the copy in the Startup folder of the user who pressed it; removed,
  ; nothing is left to run at logon that points at the deleted program.
  SetShellVarContext current
  Delete "$SMSTARTUP\${SHORTCUT}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
