VERSION 5.00
Begin VB.Form frmMain
   Caption         =   "Ledger"
   ClientHeight    =   3000
   ClientWidth     =   4500
   Begin VB.CommandButton cmdDeposit
      Caption         =   "Deposit"
      Height          =   375
   End
End
Attribute VB_Name = "frmMain"
Option Explicit

Private Sub cmdDeposit_Click()
    Dim c As New Customer
    c.Name = "Ada"
    c.Deposit 100
    ShowBalance c.Name, AddInterest(100, 0.05)
End Sub
