' The AmplifierState class as an automation script sees it: created by
' CLSID, loaded from a state string, walked with For Each, read and set by
' name, its errors caught, its text written and read back.
'
'   cscript //nologo amplifier_state.vbs STATEFILE
'
' STATEFILE holds one line: a state of two amplifiers (models 0 and 1) with
' the test box shown. The last line printed is the summary the test needs.
Option Explicit

Dim checks, failures
checks = 0
failures = 0

Sub Check(condition, what)
  checks = checks + 1
  If Not condition Then
    failures = failures + 1
    WScript.Echo "FAIL: " & what
  End If
End Sub

Dim fso, text, factory, state
Set fso = CreateObject("Scripting.FileSystemObject")
text = fso.OpenTextFile(WScript.Arguments(0)).ReadLine
Set factory = GetObject("new:{402CE9D8-B7A6-4B58-9F71-568E38F9EE4C}")
Set state = factory.CreateFromString(text)
Check state.Name = "All Amplifiers", "the state's name"
Check state.ID = 0, "the state's ID"

' Walking the tree.
Dim amplifier, channel, prop, amplifiers, channels, properties, lastChannel
amplifiers = 0
channels = 0
properties = 0
For Each amplifier In state.Amplifiers
  amplifiers = amplifiers + 1
  For Each channel In amplifier.Channels
    channels = channels + 1
    Set lastChannel = channel
    For Each prop In channel
      properties = properties + 1
    Next
  Next
  For Each prop In amplifier.Functions
    properties = properties + 1
  Next
Next
Check amplifiers = 2, "two amplifiers, got " & amplifiers
Check channels = 18, "eight channels and the test box each, got " & channels
Check properties = 2 * (8 * 8 + 8 + 9), "every property once, got " & properties
Check lastChannel.Name = "TestBox", "the test box comes last"
Check state.Amplifiers.Item(1).Name = "Amplifier 2 ( SN: 7 )", "the second amplifier's name"

' Reading and setting values.
Dim first, gain, notch, legal, count
Set first = state.Amplifiers.Item(0).Channels.Item("channel 1")
Set gain = first.Item(" GAIN ")
Check gain.Name = "Gain", "Item finds a name trimmed and case-blind"
gain.Value = "1200"
Check gain.Value = "1200", "a gain takes a listed value"
count = 0
For Each legal In gain
  count = count + 1
Next
Check count = gain.Count And count > 32, "For Each walks every legal value"
Check gain.Item(0) = "100", "the first legal gain"
Set notch = state.getObjectByID(&H603)
notch.Value = "In"
Check notch.Value = "In", "a notch switched in"
Check first.PositiveElectrode.Name = "Ch1 P", "a channel's positive electrode"
first.NegativeElectrode.InUse = True
Check first.NegativeElectrode.InUse, "an electrode switched into use"

' Errors reach the script with their text and source.
On Error Resume Next
notch.Value = "Maybe"
Check Err.Number = &H80004005, "a value that is not listed fails with E_FAIL"
Check Err.Description = "Invalid property value", "its description: " & Err.Description
Check Err.Source = "OrvoImpl [Set_Value]", "its source: " & Err.Source
Err.Clear
first.Item("Channel Name").Value = "Mine"
Check Err.Description = "Property is read only", "the channel name is read only"
Err.Clear
Dim missing
Set missing = state.getObjectByID(&H7F7F7F7F)
Check Err.Description = "Orvo Amplifier object does not exist.", "an unknown ID"
Check Err.Source = "OrvoImpl [getObjectByID]", "the unknown ID's source"
Err.Clear
Check state.Equal("no state") = 0, "never reached"
Check Err.Description = "Invalid state string.", "Equal refuses a text that is no state"
Err.Clear
Set missing = first.Item(8)
Check Err.Number = 0 And missing Is Nothing, "a missing item is Nothing without an error"
On Error GoTo 0
Check notch.Value = "In", "a failed put leaves the value"

' The test box.
Dim box
Set box = state.Amplifiers.Item(0).Channels.Item("TestBox")
Check box.Item("Pos IP Sel").Value = "1,3", "an input select shows its channels"
box.Item("Neg IP Sel").Value = "2, 4,x"
Check box.Item("Neg IP Sel").Value = "2,4", "an input select takes channel numbers only"

' The text of the state, written and read back.
Dim copy
Set copy = factory.CreateFromString(state.AsString)
Check copy.AsString = state.AsString, "AsString reads back to the same text"
Check state.Equal(copy) = 0, "a copy compares equal"
Check copy.getObjectByID(&H303).Value = "1200", "the copy keeps the gain"
Check state.Clone.Equal(state.AsString) = 0, "a clone compares equal to the text"
state.GlobalDeblock = True
Check state.Amplifiers.Item(1).Functions.Item("Deblock State").Value = "Set", "global deblock reaches every amplifier"
Check state.Equal(copy) = 1, "a changed state differs"

WScript.Echo "SUMMARY " & checks & " checks, " & failures & " failures"
