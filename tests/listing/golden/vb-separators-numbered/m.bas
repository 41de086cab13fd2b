Attribute VB_Name = "M"
Private Declare Sub Beep Lib "k" ()
Public Sub A()
End Sub
Private Function B()
End Function
