; Tavelo's installer: for the current user, without elevation, into a folder
; the user can write (so the saver can keep Tavelo.ini beside itself); makes
; Tavelo the current screen saver, adds a Start-menu entry that opens its
; settings and one that makes it the screen saver again (the system's list
; of screen savers shows only those in the system folders and the current
; one), and an uninstaller registered for the user. Japanese or English
; pages, by the system's language. /S installs and uninstalls silently.
;
; Built by CMake (installer/CMakeLists.txt), which defines VERSION, BIN (the
; folder with Tavelo.scr and Tavelo.dll), ICON, WIZARD (the side picture),
; OUTFILE and, for a 64-bit build, AMD64.

Unicode true
!ifdef AMD64
  Target amd64-unicode
!endif

!define PRODUCT "Tavelo"
!define PUBLISHER "Tavelo team"
!define WEBSITE "https://tavelo.example.org/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavelo"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE 1

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tavelo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${ICON}"
!ifdef WIZARD  ; the side picture of the first and last pages
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
  !define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!endif
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavelo.scr"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/c"
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used where the system's is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString FinishTitle ${LANG_ENGLISH} "Tavelo is your screen saver"
LangString FinishTitle ${LANG_JAPANESE} "Tavelo をスクリーン セーバーにしました"
LangString FinishText ${LANG_ENGLISH} "Tavelo ${VERSION} is installed and is now your screen saver.$\r$\n$\r$\nChoose its music with $\"Tavelo$\" in the Start menu; the waiting time and other screen savers are in the screen saver settings of Windows. If you choose another one, $\"Make Tavelo the screen saver$\" in the Start menu brings Tavelo back."
LangString FinishText ${LANG_JAPANESE} "Tavelo ${VERSION} をインストールし、現在のスクリーン セーバーに設定しました。$\r$\n$\r$\n音楽はスタート メニューの「Tavelo」で選べます。待ち時間やほかのスクリーン セーバーは、Windows のスクリーン セーバーの設定で選べます。ほかのものを選んだあとは、スタート メニューの「Tavelo をスクリーン セーバーにする」で Tavelo に戻せます。"
LangString OpenSettings ${LANG_ENGLISH} "Open Tavelo's settings"
LangString OpenSettings ${LANG_JAPANESE} "Tavelo の設定を開く"
LangString ShortcutDescription ${LANG_ENGLISH} "Tavelo screen saver settings"
LangString ShortcutDescription ${LANG_JAPANESE} "Tavelo スクリーン セーバーの設定"
LangString MakeItTheSaver ${LANG_ENGLISH} "Make Tavelo the screen saver"
LangString MakeItTheSaver ${LANG_JAPANESE} "Tavelo をスクリーン セーバーにする"
LangString MakeItTheSaverDescription ${LANG_ENGLISH} "Makes Tavelo the screen saver and opens the screen saver settings"
LangString MakeItTheSaverDescription ${LANG_JAPANESE} "Tavelo をスクリーン セーバーにして、スクリーン セーバーの設定を開きます"

; The entry that makes Tavelo the screen saver again has its language's
; name: both names go before it is made, and when Tavelo goes.
!define MAKE_IT_THE_SAVER_EN "Make Tavelo the screen saver.lnk"
!define MAKE_IT_THE_SAVER_JA "Tavelo をスクリーン セーバーにする.lnk"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

; The form of the saver's path the display settings store: the short one
; where the volume has short names (it never needs quoting), else the long one.
!macro SaverPath result
  GetFullPathName /SHORT ${result} "$INSTDIR\Tavelo.scr"
  ${If} ${result} == ""
    StrCpy ${result} "$INSTDIR\Tavelo.scr"
  ${EndIf}
!macroend

; Windows that listen hear of the change; one that does not answer is not
; waited for (a broadcast with SPIF_SENDCHANGE would wait for ever).
!macro TellTheDesktopSettingsChanged
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} ${SPI_SETSCREENSAVEACTIVE} 0 /TIMEOUT=1000
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=1000
!macroend

Section "Tavelo"
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  ; An earlier version's Tavelo.ini is never shipped nor touched: the user's
  ; settings survive an update.
  File "${BIN}/Tavelo.scr"
  File "${BIN}/Tavelo.dll"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The current screen saver, as the display settings would set it.
  !insertmacro SaverPath $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE})"
  !insertmacro TellTheDesktopSettingsChanged

  CreateShortCut "$SMPROGRAMS\Tavelo.lnk" "$INSTDIR\Tavelo.scr" "/c" "$INSTDIR\Tavelo.scr" 0 \
      SW_SHOWNORMAL "" "$(ShortcutDescription)"
  ; What Explorer's "Install" on a .scr file does: Tavelo becomes the screen
  ; saver, and the system's settings open with it chosen.
  Delete "$SMPROGRAMS\${MAKE_IT_THE_SAVER_EN}"
  Delete "$SMPROGRAMS\${MAKE_IT_THE_SAVER_JA}"
  CreateShortCut "$SMPROGRAMS\$(MakeItTheSaver).lnk" "$SYSDIR\rundll32.exe" \
      "desk.cpl,InstallScreenSaver $\"$INSTDIR\Tavelo.scr$\"" "$INSTDIR\Tavelo.scr" 0 SW_SHOWNORMAL "" \
      "$(MakeItTheSaverDescription)"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tavelo.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntFmt $1 "0x%08X" $1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  ; The screen saver is cleared only when it is this Tavelo.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  !insertmacro SaverPath $1
  ${If} $0 == $1
  ${OrIf} $0 == "$INSTDIR\Tavelo.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    !insertmacro TellTheDesktopSettingsChanged
  ${EndIf}

  Delete "$SMPROGRAMS\Tavelo.lnk"
  Delete "$SMPROGRAMS\${MAKE_IT_THE_SAVER_EN}"
  Delete "$SMPROGRAMS\${MAKE_IT_THE_SAVER_JA}"
  Delete "$INSTDIR\Tavelo.scr"
  Delete "$INSTDIR\Tavelo.dll"
  Delete "$INSTDIR\Tavelo.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"  ; only when nothing of the user's is left in it
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
