VERSION 5.00
Begin VB.Form frmMain
End
Attribute VB_Name = "frmMain"
Option Explicit
' note
Private Sub Form_Load()
    Dim x As Integer
End Sub
