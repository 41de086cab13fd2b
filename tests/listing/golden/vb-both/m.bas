Attribute VB_Name = "M"
Sub Main()
End Sub
