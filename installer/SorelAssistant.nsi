; The installer of Sorel Assistant: the 32-bit program, LangRes.ini and the help pages into Program
; Files, a Start-menu shortcut, an uninstaller and an Add/Remove Programs entry.
; scripts/dist compiles it and passes VERSION (the program's FILEVERSION, a.b.c.d), FILES (the
; folder of files to ship), ICON and OUTFILE.

; The 95/98 family has no Unicode API: an ANSI installer runs on every Windows the program does.
Unicode false
SetCompressor /SOLID lzma
; The program changes machine-wide settings and the files go to Program Files, so the installer
; asks Vista and later for elevation. Older systems ignore the request.
RequestExecutionLevel admin

!ifndef VERSION | FILES | ICON | OUTFILE
  !error "VERSION, FILES, ICON and OUTFILE are passed by scripts/dist"
!endif

; The installer's version is the program's: refuse to build when the exe disagrees with VERSION.
!getdllversion "${FILES}/SorelAssistant.exe" EXE_
!if "${EXE_1}.${EXE_2}.${EXE_3}.${EXE_4}" != "${VERSION}"
  !error "SorelAssistant.exe is version ${EXE_1}.${EXE_2}.${EXE_3}.${EXE_4}, the release is ${VERSION}"
!endif

!define PRODUCT "Sorel Assistant"
!define COMPANY "Velmora"
!define EXE "SorelAssistant.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SorelAssistant"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; A new version goes where the last one was installed.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
XPStyle on
ShowInstDetails show
ShowUninstDetails show

; The program's own languages; NSIS picks the one of the user's system, else the first.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Polish.nlf"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${COMPANY}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  ; Named one by one, so that the uninstaller removes exactly these.
  SetOutPath "$INSTDIR"
  File "${FILES}/${EXE}"
  File "${FILES}/LangRes.ini"
  File /r "${FILES}/help"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; For every user of the machine, as the table the program edits; where the system has no common
  ; Start menu (95/98 without user profiles) NSIS takes the user's own.
  SetShellVarContext all
  ; A shortcut's working folder is the output path: the program's own folder, where it finds
  ; LangRes.ini and help.
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\LangRes.ini"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files a user put there stay, with their folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
  ; The settings under HKCU\Software\Velmora\SorelAssistant belong to each user and stay.
SectionEnd
