; The Windows installer, made by ./package windows with Debian's makensis:
;   makensis -DVERSION=1.0.0 -DFOLDER=<the portable folder> -DFILES=<files.nsh>
;            -DICON=<quillfort.ico> -DOUTFILE=<setup.exe> quillfort.nsi
; FILES defines the macros InstallFiles and UninstallFiles, which put and
; delete the portable folder's files one by one, so that the uninstaller
; removes what was installed and nothing else.
;
; For the current user, without administrator rights: into the user's own
; programs folder, a Start-menu entry, "Open with Quillfort" for .sqf files
; (the default program of .sqf stays as it was), and an entry among the
; user's installed programs. /S installs silently, /D=FOLDER (last, without
; quotes) picks the folder.
Unicode true
Target amd64-unicode
; makensis warns of a file name with "setup" in it, for which Windows may
; apply its compatibility shims; the name is the one users look for, and the
; installer's manifest asks for no elevation.
!pragma warning disable 9000
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "${FILES}"

!define APP "Quillfort"
!define EXE "quillfort.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define APPLICATION_KEY "Software\Classes\Applications\${EXE}"
!define OPEN_WITH_KEY "Software\Classes\.sqf\OpenWithList\${EXE}"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Quillfort authors"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the Quillfort authors. MIT License."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext current
  !insertmacro InstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"

  ; "Open with": the program, its name and the file type it opens. The
  ; extension's own default value, its default program, is never written.
  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${APP}"
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".sqf" ""
  WriteRegStr HKCU "${APPLICATION_KEY}\DefaultIcon" "" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  WriteRegStr HKCU "${OPEN_WITH_KEY}" "" ""

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Quillfort authors"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "${OPEN_WITH_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.sqf\OpenWithList"
  DeleteRegKey /ifempty HKCU "Software\Classes\.sqf"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro UninstallFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
