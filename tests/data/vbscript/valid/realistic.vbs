' A plug-in script as users write them: files, registry, WMI, dictionaries.
' procedures: Main/0/Sub; ReadSettings/1/Function; WriteLog/2/Sub; ListServices/0/Sub; Pad/2/Function
Option Explicit

Const ForReading = 1, ForWriting = 2, ForAppending = 8
Const HKEY_LOCAL_MACHINE = &H80000002
Dim fso, shell, settings, logFile

Sub Main()
    On Error Resume Next
    Set fso = CreateObject("Scripting.FileSystemObject")
    Set shell = CreateObject("WScript.Shell")
    Set settings = ReadSettings(fso.BuildPath(shell.CurrentDirectory, "settings.ini"))
    If settings Is Nothing Then
        MsgBox "No settings found", vbExclamation, "Tavrix"
        Exit Sub
    End If
    If Err.Number <> 0 Then
        WriteLog "error", Err.Description
        Err.Clear
    End If
    On Error GoTo 0
    Dim key
    For Each key In settings.Keys
        WriteLog "setting", key & "=" & settings(key)
    Next
    ListServices
End Sub

Function ReadSettings(path)
    Dim file, line, parts, dict
    Set ReadSettings = Nothing
    If Not fso.FileExists(path) Then Exit Function
    Set dict = CreateObject("Scripting.Dictionary")
    dict.CompareMode = vbTextCompare
    Set file = fso.OpenTextFile(path, ForReading, False)
    Do Until file.AtEndOfStream
        line = Trim(file.ReadLine)
        If Len(line) > 0 And Left(line, 1) <> ";" Then
            parts = Split(line, "=", 2)
            If UBound(parts) = 1 Then
                If Not dict.Exists(Trim(parts(0))) Then dict.Add Trim(parts(0)), Trim(parts(1))
            End If
        End If
    Loop
    file.Close
    Set ReadSettings = dict
End Function

Sub WriteLog(kind, message)
    Dim stamp
    stamp = Year(Now) & "-" & Pad(Month(Now), 2) & "-" & Pad(Day(Now), 2) & " " & FormatDateTime(Now, vbLongTime)
    If IsEmpty(logFile) Then
        Set logFile = fso.OpenTextFile(fso.BuildPath(shell.ExpandEnvironmentStrings("%TEMP%"), "tavrix.log"), _
                                       ForAppending, True)
    End If
    logFile.WriteLine stamp & vbTab & UCase(kind) & vbTab & Replace(message, vbCrLf, " ")
End Sub

Sub ListServices()
    Dim wmi, services, service, count
    Set wmi = GetObject("winmgmts:{impersonationLevel=impersonate}!\\.\root\cimv2")
    Set services = wmi.ExecQuery("SELECT * FROM Win32_Service WHERE State = 'Running'")
    count = 0
    For Each service In services
        count = count + 1
        Select Case LCase(service.StartMode)
            Case "auto": WriteLog "auto", service.Name
            Case "manual", "disabled"
                WriteLog "other", service.Name & " (" & service.StartMode & ")"
            Case Else
        End Select
    Next
    With shell
        .RegWrite "HKCU\Software\Tavrix\Services", count, "REG_DWORD"
        .Popup "Running services: " & count, 5, "Tavrix", vbInformation + vbOKOnly
    End With
End Sub

Function Pad(value, width)
    Pad = Right(String(width, "0") & value, width)
End Function
