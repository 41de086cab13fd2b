Attribute VB_Name = "Invoices"
' Invoices.bas - totals and taxes of customer invoices.
'
' @doc INVOICES
'
' @module Invoices | Totals, taxes and rounding of customer invoices.
' @comm All amounts are in cents so that no rounding error accumulates.
Option Explicit

' @btype One line of an invoice.
Public Type InvoiceLine
    Description As String ' @bfield What was sold.
    Quantity As Long      ' @bfield How many units.
    UnitPrice As Currency ' @bfield Price of one unit, before tax.
End Type

' @bfunc Adds up the lines of an invoice.
' @bparm The lines to add up.
' @bparm The tax rate in percent, for example 19.
' @rdesc The total including tax, rounded to whole cents.
' @ex Two lines at 19 percent: |
'     Total = InvoiceTotal(Lines, 19)
Public Function InvoiceTotal(Lines() As InvoiceLine, ByVal TaxRate As Double) As Currency
    Dim I As Long
    Dim Sum As Currency
    For I = LBound(Lines) To UBound(Lines)
        Sum = Sum + Lines(I).Quantity * Lines(I).UnitPrice
    Next I
    InvoiceTotal = Round(Sum * (1 + TaxRate / 100), 2)
End Function

' @bsub Prints an invoice to the debug window, one line per item.
' @bparm The lines to print.
' @bparm Whether to print the total after the lines.
Public Sub PrintInvoice(Lines() As InvoiceLine, Optional ByVal WithTotal As Boolean)
    Debug.Print "Invoice" ' a quote ' inside a string is not a comment
End Sub
