; The installer of Ludaro: puts the 32-bit program beside Horalia.ini, in
; Horalia's folder, where Horalia starts it and reads its result.
;   scripts/make_installer.sh (makensis -DVERSION=x.y.z -DSTAGE=folder -DSOURCE=repository -DOUTFILE=file)
; STAGE holds the files to install (Ludaro.exe, ludaro-cli.exe, XADE.CHM,
; LEEME.txt, LICENCIA.txt).

; The release's installer is 32-bit, as the program it installs; the tests
; build the same script for amd64 where the machine runs no 32-bit program.
!ifdef TARGET
  Target ${TARGET}
!endif
Unicode true
SetCompressor /SOLID lzma
; The installed files keep the times they have in the stage folder, which
; release.sh sets to the commit's time, so the installer's bytes do not
; depend on when it was built.
SetDateSave on

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ludaro"
!define UNINSTALLER "Desinstalar-Ludaro.exe"
; Horalia's folder may hold a readme and a licence of its own: Ludaro's
; carry its name so that neither is overwritten nor, later, uninstalled.
!define README "Ludaro-LEEME.txt"
!define LICENCE "Ludaro-LICENCIA.txt"

Name "Ludaro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Horalia"
; Horalia's folder is usually under Program Files.
RequestExecutionLevel admin
BrandingText "Ludaro ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=3082 "ProductName" "Ludaro"
VIAddVersionKey /LANG=3082 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "FileDescription" "Instalador de Ludaro: datos entre XADE y Horalia"
VIAddVersionKey /LANG=3082 "CompanyName" "Equipo de Ludaro"
VIAddVersionKey /LANG=3082 "LegalCopyright" "Copyright (C) 2026 Equipo de Ludaro. Licencia Apache 2.0"

!define MUI_ICON "${SOURCE}/app/images/ludaro.ico"
!define MUI_UNICON "${SOURCE}/app/images/ludaro.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Instalación de Ludaro ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Ludaro traspasa los datos del centro entre XADE y Horalia.$\r$\n$\r$\nSe instala en la carpeta de Horalia, junto al fichero Horalia.ini: Horalia lo abre desde allí y lee en ese fichero el resultado de cada traspaso.$\r$\n$\r$\nCierre Horalia antes de continuar."
!insertmacro MUI_PAGE_WELCOME

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENCIA.txt"

!define MUI_PAGE_HEADER_TEXT "Carpeta de Horalia"
!define MUI_PAGE_HEADER_SUBTEXT "Ludaro se instala junto a Horalia.ini."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Horalia, la que contiene Horalia.ini. Ludaro debe quedar junto a Horalia.ini: es ahí donde Horalia lo busca y donde Ludaro deja el resultado de cada traspaso."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Carpeta de Horalia"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE WarnWithoutHoralia
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TEXT "Ludaro ${VERSION} está instalado en$\r$\n$INSTDIR$\r$\n$\r$\nÁbralo desde Horalia. La ayuda está en el menú Inicio, en «Ludaro»."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${README}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Ver el fichero LEEME"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Spanish"

; A folder without Horalia's files is most likely the wrong one, but Horalia
; may be installed later or under another name: warn, do not refuse.
Function WarnWithoutHoralia
  ${IfNot} ${FileExists} "$INSTDIR\Horalia.ini"
  ${AndIfNot} ${FileExists} "$INSTDIR\Horalia.exe"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
      "La carpeta$\r$\n$INSTDIR$\r$\nno contiene Horalia.ini ni Horalia.exe.$\r$\n$\r$\nLudaro debe estar en la carpeta de Horalia, junto a Horalia.ini; si no, Horalia no sabrá el resultado de los traspasos.$\r$\n$\r$\n¿Instalar Ludaro en esta carpeta de todos modos?" \
      /SD IDYES IDYES install_anyway
    Abort
    install_anyway:
  ${EndIf}
FunctionEnd

Section "Ludaro"
  SetOutPath "$INSTDIR"
  File "${STAGE}/Ludaro.exe"
  File "${STAGE}/ludaro-cli.exe"
  File "${STAGE}/XADE.CHM"
  File "/oname=${README}" "${STAGE}/LEEME.txt"
  File "/oname=${LICENCE}" "${STAGE}/LICENCIA.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Only the help goes in the Start menu: Ludaro itself must be started from
  ; Horalia's folder, by Horalia.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Ludaro"
  CreateShortcut "$SMPROGRAMS\Ludaro\Ayuda de Ludaro.lnk" "$INSTDIR\XADE.CHM"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Ludaro ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Equipo de Ludaro"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Ludaro.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put there and nothing else: Horalia's files, a
; Horalia.ini that Ludaro wrote its results into, and the reports stay.
Section "Uninstall"
  Delete "$INSTDIR\Ludaro.exe"
  Delete "$INSTDIR\ludaro-cli.exe"
  Delete "$INSTDIR\XADE.CHM"
  Delete "$INSTDIR\${README}"
  Delete "$INSTDIR\${LICENCE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Gone only when it is empty, that is when the installer made it.
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Ludaro\Ayuda de Ludaro.lnk"
  RMDir "$SMPROGRAMS\Ludaro"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
