' The script client of the Wine end-to-end test (run.sh), run by cscript:
'
'   cscript //nologo client.vbs <mode> <output file> [<search>...]
'
' Each search is "<label>|<query>|<folder>|<titles only: 0 or 1>"; an empty
' folder stands for every folder. The component learns its install folder
' from the test host, which reads ZVV_TEST_INSTALL_DIR. Results go to the
' output file as UTF-16 text: "query <label>", then "row <score>|<path in
' Help>|<title>" for each hit in the folder and "outside <count>" for the
' hits left out. The last line is "end of script": cscript may stop on an
' error without saying so, and a missing last line is how the test sees it.
'
' Modes:
'   search    creates the component by its versioned program id, initializes
'             it without user interface and runs the searches; then the same
'             by the version-independent id (labels prefixed "independent-");
'             then AutoRefresh picks up an added page and then its removal
'   ui        initializes with the user interface allowed (the test host
'             answers the index prompt) and runs the searches
'   declined  the same, the test host answering the prompt with No
'   gone      expects creation by either program id to fail
Option Explicit

Const kProgId = "Torvane.ViveviVadiro.1"
Const kIndependentProgId = "Torvane.ViveviVadiro"
Const kWatchSeconds = 30
Const kAddedWord = "zebrafinch"

Dim fso, shell, out, helpPrefix
Set fso = CreateObject("Scripting.FileSystemObject")
Set shell = CreateObject("WScript.Shell")
Set out = fso.CreateTextFile(WScript.Arguments(1), True, True)
' As the test host names it: with a separator at the end.
helpPrefix = shell.Environment("PROCESS")("ZVV_TEST_INSTALL_DIR")
If Right(helpPrefix, 1) <> "\" Then helpPrefix = helpPrefix & "\"
helpPrefix = helpPrefix & "Help\"

' A hit's document key made relative to Help, with "/" between folders.
Function PathInHelp(key)
  Dim path
  path = key
  If LCase(Left(key, Len(helpPrefix))) = LCase(helpPrefix) Then
    path = Mid(key, Len(helpPrefix) + 1)
  End If
  PathInHelp = Replace(path, "\", "/")
End Function

' Runs one search; returns its lines and sets rows to the number of hits in
' the folder. A script cannot pass a null folder list and an empty one leaves
' every hit out, so every folder is the one empty folder text, which every
' key contains.
Function Search(component, label, query, folder, titleOnly, ByRef rows)
  Dim results, hit, i, outside, lines
  component.Find query, Array(folder), titleOnly, results
  lines = "query " & label & vbCrLf
  rows = 0
  outside = 0
  If IsArray(results) Then
    For i = LBound(results) To UBound(results)
      hit = results(i)
      If IsEmpty(hit) Then
        outside = outside + 1
      Else
        lines = lines & "row " & hit(0) & "|" & PathInHelp(hit(1)) & "|" & hit(2) & vbCrLf
        rows = rows + 1
      End If
    Next
  End If
  Search = lines & "outside " & outside & vbCrLf
End Function

' Runs the searches of the command line, each label after the prefix.
Sub SearchAll(component, prefix)
  Dim i, fields, rows
  For i = 2 To WScript.Arguments.Count - 1
    fields = Split(WScript.Arguments(i), "|")
    out.Write Search(component, prefix & fields(0), fields(1), fields(2), CLng(fields(3)), rows)
  Next
End Sub

' The folder list as a script leaves it out: the error number, 0 when the
' search ran.
Sub SearchWithoutFolders(component)
  Dim results
  On Error Resume Next
  component.Find "printer", Null, 0, results
  out.WriteLine "without folders " & Hex(Err.Number)
  On Error GoTo 0
End Sub

' Waits a moment. A script host without WScript.Sleep (it fails as not
' supported) gets a busy wait on the clock instead.
Sub Pause(seconds)
  Dim deadline
  On Error Resume Next
  WScript.Sleep seconds * 1000
  If Err.Number = 0 Then Exit Sub
  On Error GoTo 0
  deadline = Timer + seconds
  Do While Timer < deadline
  Loop
End Sub

' Searches for the added word until it has the wanted number of rows or the
' time is up, then writes the last search and whether it was in time.
Sub AwaitRows(component, label, wanted)
  Dim started, lines, rows
  started = Timer
  Do
    lines = Search(component, label, kAddedWord, "", 0, rows)
    If rows = wanted Or Timer - started > kWatchSeconds Then Exit Do
    Pause 0.2
  Loop
  out.Write lines
  out.WriteLine "in time " & (rows = wanted)
End Sub

Sub WatchHelpFolder(component)
  Dim page, added
  component.AutoRefresh = 1
  out.WriteLine "autorefresh " & component.AutoRefresh
  ' At the top of Help: Wine's change notification for a folder tree reports
  ' changes in the folder itself but not in its subfolders.
  added = helpPrefix & "added.htm"
  Set page = fso.CreateTextFile(added, True)
  page.WriteLine "<html><head><title>Added while watching</title></head>"
  page.WriteLine "<body><p>A " & kAddedWord & " sings.</p></body></html>"
  page.Close
  AwaitRows component, "added", 1
  fso.DeleteFile added
  AwaitRows component, "removed", 0
  component.AutoRefresh = 0
  out.WriteLine "autorefresh " & component.AutoRefresh
End Sub

Sub ExpectNoClass(progId)
  Dim component
  On Error Resume Next
  Set component = CreateObject(progId)
  out.WriteLine "create " & progId & " " & (Err.Number <> 0)
  On Error GoTo 0
End Sub

Dim component, independent
Select Case WScript.Arguments(0)
  Case "search"
    Set component = CreateObject(kProgId)
    component.Initialize 0
    SearchAll component, ""
    SearchWithoutFolders component
    Set independent = CreateObject(kIndependentProgId)
    independent.Initialize 0
    SearchAll independent, "independent-"
    Set independent = Nothing
    WatchHelpFolder component
  Case "ui"
    Set component = CreateObject(kProgId)
    component.Initialize 1
    SearchAll component, ""
  Case "declined"
    Set component = CreateObject(kProgId)
    On Error Resume Next
    component.Initialize 1
    out.WriteLine "initialize failed " & (Err.Number <> 0)
    On Error GoTo 0
  Case "gone"
    ExpectNoClass kProgId
    ExpectNoClass kIndependentProgId
  Case Else
    Err.Raise 5, "client.vbs", "unknown mode " & WScript.Arguments(0)
End Select
out.WriteLine "end of script"
out.Close
