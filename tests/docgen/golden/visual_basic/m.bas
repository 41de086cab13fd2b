' @doc
' @bfunc Sums.
' @bparm Values.
' @bparm Count.
Public Function Total(Values() As Long, Optional ByVal N As Integer) As Long
End Function
