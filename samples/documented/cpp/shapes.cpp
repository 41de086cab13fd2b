// shapes.cpp - the shapes and the drawing.
// @doc SHAPES INTERNAL

#include "shapes.hpp"

// @mfunc Adds a shape on top of the others.
// @parm The shape; the drawing takes ownership. A null pointer is ignored.
// @comm Shapes added while <m Drawing::DrawAll> runs are drawn next time.
void Drawing::Add(Shape* shape) {
  if (shape) shapes_.push_back(shape);
}

// @mfunc Draws every shape, first added first.
// @parm The canvas to draw on; it is not cleared first.
// @xref <m Drawing::Add>, <c Shape>
void Drawing::DrawAll(Canvas& canvas) const {
  for (const Shape* shape : shapes_) shape->Draw(canvas);
}
