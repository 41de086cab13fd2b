// shapes.hpp - shapes that can be drawn on a canvas.
//
// @doc SHAPES PUBLIC

#pragma once

#include <string>
#include <vector>

class Canvas;

// @class The base of every shape: a named outline that draws itself.
// @comm Shapes are owned by their <c Drawing>; never delete one yourself.
class Shape {
 public:
  // @cmember Makes a shape with a name shown in the drawing's legend.
  explicit Shape(const std::string& name);
  // @cmember Draws the outline onto the canvas.
  virtual void Draw(Canvas& canvas) const = 0;
  // @cmember The name given at construction.
  const std::string& Name() const;
  // @cmember The area covered, in square pixels.
  virtual double Area() const = 0;

 private:
  std::string name_;
};

// @class A drawing: an ordered list of shapes, drawn back to front.
class Drawing {
 public:
  // @cmember Adds a shape on top of the others.
  void Add(Shape* shape);
  // @cmember Draws every shape, first added first.
  void DrawAll(Canvas& canvas) const;

 private:
  std::vector<Shape*> shapes_;
};

// @func Scales a value by a percentage, rounding to the nearest integer.
// @parm The value to scale.
// @parmopt The percentage; 100 leaves the value as it is.
// @rdesc The scaled value.
// @ex Halving a width: |
//     int half = Scale(640, 50);
//     if (half != 320) {
//         return false;
//     }
template <typename T>
T Scale(T value, int percent = 100);
