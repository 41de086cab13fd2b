// @doc
// @func Last one.
// @comm Remark before params.
// @parm First.
// @sub nested under first parm
// @parm Second.
// @parm Third.
// @rdesc Nothing.
void zeta(int a, int b, int c);
// @func First one.
// @rdesc A value.
// @sub nested under rdesc
int alpha(void);
