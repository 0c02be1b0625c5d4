; The Talvoro webcam suite's installer: Snapory, Orvane and the filters and
; device they use. One script for both widths:
;   makensis -INPUTCHARSET UTF8 -DWIDTH=32|64 -DSTAGE=<staged tree> -DOUTFILE=<exe>
;            -DGENERATED=<folder of the generated lists> -DICON=<.ico> suite.nsi
; The lists of files and servers are generated from the staged tree at build
; time (build_setup.py), so the uninstaller removes exactly what was installed.
;
; A machine install: the filters and the virtual device must be registered
; for every program of every user, and Snapory finds Orvane through a
; machine-wide value, so both need administrator rights anyway. The programs
; keep their settings and write their pictures beside themselves; instead of
; opening the whole program folder to the users' group, only those files and
; folders are made writable for it (config.ini, Snapory's Capture folder,
; Orvane's Frames folder), so a user cannot change the programs an
; administrator may run.

Unicode true
!ifndef WIDTH
  !error "WIDTH (32 or 64) is required"
!endif
!if ${WIDTH} == 64
  Target amd64-unicode
  !define ARCH_NOTE " (64-bit)"
!else
  Target x86-unicode
  !define ARCH_NOTE ""
!endif

!define PRODUCT "Talvoro Webcam Suite"
!define VERSION "1.0"
!define PUBLISHER "Talvoro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Talvoro"
!define PEER_KEY "Software\Talvoro"
; Well-known SID of the Users group: the same on every language of Windows.
!define USERS_SID "*S-1-5-32-545"
; Exit codes for administrators and scripts (0 is success).
!define EXIT_PROGRAM_RUNNING 2
!define EXIT_REGISTRATION_FAILED 3

Name "${PRODUCT}${ARCH_NOTE}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true
!if ${WIDTH} == 64
  InstallDir "$PROGRAMFILES64\Talvoro"
!else
  InstallDir "$PROGRAMFILES32\Talvoro"
!endif
; An installed copy is upgraded where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) ${PUBLISHER}"
; The file names are given (Setup.exe, Setup64.exe); that Windows treats
; such names as installers and applies its compatibility shims is known.
!pragma warning disable 9000

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the fallback; NSIS takes the one of the user's
; Windows language when it is among these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString MsgProgramsRunning ${LANG_ENGLISH} "Snapory or Orvane is running.$\r$\n$\r$\nClose Snapory and Orvane (right-click Orvane's icon in the notification area and choose Exit), then press Retry."
LangString MsgProgramsRunning ${LANG_SIMPCHINESE} "Snapory 或 Orvane 正在运行。$\r$\n$\r$\n请关闭 Snapory 和 Orvane（右击通知区域中的 Orvane 图标并选择“退出”），然后按“重试”。"
LangString MsgRegisterFailed ${LANG_ENGLISH} "Registering $0 failed (regsvr32 exit code $1). The suite is not usable; run Setup again or uninstall it."
LangString MsgRegisterFailed ${LANG_SIMPCHINESE} "注册 $0 失败（regsvr32 退出代码 $1）。套件无法使用，请重新运行安装程序或将其卸载。"
LangString MsgCapturesKept ${LANG_ENGLISH} "Your pictures and recordings were kept in:$\r$\n$INSTDIR\Snapory\Capture"
LangString MsgCapturesKept ${LANG_SIMPCHINESE} "您的照片和录像已保留在：$\r$\n$INSTDIR\Snapory\Capture"
; Shortcut names; the uninstaller removes both, whatever its own language.
!define UNINSTALL_LINK_EN "Uninstall ${PRODUCT}.lnk"
!define UNINSTALL_LINK_ZH "卸载 ${PRODUCT}.lnk"
LangString UninstallLink ${LANG_ENGLISH} "${UNINSTALL_LINK_EN}"
LangString UninstallLink ${LANG_SIMPCHINESE} "${UNINSTALL_LINK_ZH}"

; Snapory's main window, Orvane's panel (kept while hidden in the
; notification area) and Orvane's single-instance mutex, held from its start.
!macro WaitForProgramsClosed un
  Function ${un}WaitForProgramsClosed
    check:
      FindWindow $0 "" "Snapory!"
      ${If} $0 == 0
        FindWindow $0 "" "VemraZolt"
      ${EndIf}
      ${If} $0 == 0
        ; SYNCHRONIZE access is enough to see that it exists.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Lumivox") p .r0'
        ${If} $0 != 0
          System::Call 'kernel32::CloseHandle(p r0)'
        ${EndIf}
      ${EndIf}
      ${If} $0 != 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MsgProgramsRunning)" /SD IDCANCEL IDRETRY check
        SetErrorLevel ${EXIT_PROGRAM_RUNNING}
        Quit
      ${EndIf}
  FunctionEnd
!macroend
!insertmacro WaitForProgramsClosed ""
!insertmacro WaitForProgramsClosed "un."

!macro RegisterServer file
  DetailPrint "regsvr32 ${file}"
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\Filters\${file}"' $1
  ${If} $1 != 0
    StrCpy $0 "${file}"
    MessageBox MB_OK|MB_ICONSTOP "$(MsgRegisterFailed)" /SD IDOK
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
    Quit
  ${EndIf}
!macroend

; Removal goes on whatever one server answers: the files go anyway.
!macro UnregisterServer file
  DetailPrint "regsvr32 /u ${file}"
  ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\Filters\${file}"'
!macroend

; The 64-bit modules of the 32-bit suite (Filters\x64), registered by the
; 64-bit regsvr32 into the 64-bit registry view: only on 64-bit Windows, where
; this 32-bit installer sees System32 as SysWOW64 until redirection is off.
!macro RegisterServer64 file
  ${DisableX64FSRedirection}
  !insertmacro RegisterServer "${file}"
  ${EnableX64FSRedirection}
!macroend

!macro UnregisterServer64 file
  ${DisableX64FSRedirection}
  !insertmacro UnregisterServer "${file}"
  ${EnableX64FSRedirection}
!macroend

; An empty settings file that the users' group may rewrite (the programs
; write it in place; empty reads like absent). An existing one is kept.
!macro UserWritableFile path
  ${IfNot} ${FileExists} "${path}"
    FileOpen $0 "${path}" w
    FileClose $0
  ${EndIf}
  nsExec::Exec '"$SYSDIR\icacls.exe" "${path}" /grant ${USERS_SID}:M /Q'
  Pop $0
!macroend

; A folder whose files and subfolders the users' group may change.
!macro UserWritableFolder path
  CreateDirectory "${path}"
  nsExec::Exec '"$SYSDIR\icacls.exe" "${path}" /grant ${USERS_SID}:(OI)(CI)M /Q'
  Pop $0
!macroend

Function .onInit
  SetShellVarContext all
  Call WaitForProgramsClosed
FunctionEnd

Function un.onInit
  SetShellVarContext all
  Call un.WaitForProgramsClosed
FunctionEnd

Section "-Suite" SecSuite
  ; Again: the user may have started a program while the pages were shown.
  Call WaitForProgramsClosed
  ; A copy installed in another folder goes first, so that one install
  ; remains, its registrations pointing at its own files. Its settings go
  ; with it; its pictures stay where they are.
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} $R0 != $INSTDIR
  ${AndIf} ${FileExists} "$R0\Uninstall.exe"
    DetailPrint "$R0\Uninstall.exe /S"
    ExecWait '"$R0\Uninstall.exe" /S _?=$R0'
    Delete "$R0\Uninstall.exe"
    RMDir "$R0"
  ${EndIf}
  ; First, so that a failure below still leaves a way to remove what came.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  !include "${GENERATED}/install_files.nsh"
  ${If} ${RunningX64}
    !include "${GENERATED}/install_files64.nsh"
  ${EndIf}

  !insertmacro UserWritableFile "$INSTDIR\Snapory\config.ini"
  !insertmacro UserWritableFolder "$INSTDIR\Snapory\Capture"
  !insertmacro UserWritableFile "$INSTDIR\Orvane\config.ini"
  !insertmacro UserWritableFolder "$INSTDIR\Orvane\Frames"

  !include "${GENERATED}/register_servers.nsh"
  ${If} ${RunningX64}
    !include "${GENERATED}/register_servers64.nsh"
  ${EndIf}
  WriteRegStr HKLM "${PEER_KEY}" "Nerra" "$INSTDIR\Orvane\Orvane.exe"

  CreateDirectory "$SMPROGRAMS\Talvoro"
  CreateShortcut "$SMPROGRAMS\Talvoro\Snapory.lnk" "$INSTDIR\Snapory\Snapory.exe"
  CreateShortcut "$SMPROGRAMS\Talvoro\Orvane.lnk" "$INSTDIR\Orvane\Orvane.exe"
  CreateShortcut "$SMPROGRAMS\Talvoro\$(UninstallLink)" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}${ARCH_NOTE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Snapory\Snapory.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; What is there, in kilobytes: the 64-bit modules only on 64-bit Windows.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.WaitForProgramsClosed
  ${If} ${RunningX64}
    !include "${GENERATED}/unregister_servers64.nsh"
  ${EndIf}
  !include "${GENERATED}/unregister_servers.nsh"
  ; Only a value of this install: another copy elsewhere keeps its own.
  ReadRegStr $0 HKLM "${PEER_KEY}" "Nerra"
  ${If} $0 == "$INSTDIR\Orvane\Orvane.exe"
    DeleteRegValue HKLM "${PEER_KEY}" "Nerra"
  ${EndIf}
  DeleteRegKey /ifempty HKLM "${PEER_KEY}"

  ; What the programs wrote beside themselves, besides the user's pictures.
  Delete "$INSTDIR\Snapory\config.ini"
  Delete "$INSTDIR\Orvane\config.ini"
  RMDir /r "$INSTDIR\Orvane\Frames\Temp"
  !include "${GENERATED}/uninstall_files.nsh"
  ; Kept when the user put pictures or recordings there, or frames of their own.
  RMDir "$INSTDIR\Snapory\Capture"
  RMDir "$INSTDIR\Orvane\Frames"
  RMDir "$INSTDIR\Snapory"
  RMDir "$INSTDIR\Orvane"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Talvoro\Snapory.lnk"
  Delete "$SMPROGRAMS\Talvoro\Orvane.lnk"
  Delete "$SMPROGRAMS\Talvoro\${UNINSTALL_LINK_EN}"
  Delete "$SMPROGRAMS\Talvoro\${UNINSTALL_LINK_ZH}"
  RMDir "$SMPROGRAMS\Talvoro"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} ${FileExists} "$INSTDIR\Snapory\Capture\*.*"
    MessageBox MB_OK|MB_ICONINFORMATION "$(MsgCapturesKept)" /SD IDOK
  ${EndIf}
SectionEnd
