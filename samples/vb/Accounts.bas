Attribute VB_Name = "Accounts"
Option Explicit

' Adds interest to a balance
Public Function AddInterest(ByVal balance As Currency, ByVal rate As Double) As Currency
    If rate < 0 Then
        Err.Raise 5, , "rate must not be negative"
    End If
    AddInterest = balance * (1 + rate)
End Function

Public Sub ShowBalance(ByVal who As String, ByVal balance As Currency)
    MsgBox who & ": " & Format$(balance, "0.00")
End Sub
