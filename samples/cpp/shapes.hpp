// shapes.hpp - a small hierarchy of plane shapes
#pragma once

#include <string>
#include <vector>

namespace shapes {

class Shape {
public:
    virtual ~Shape() = default;
    virtual double Area() const = 0;
    virtual std::string Name() const = 0;
};

class Circle : public Shape {
public:
    explicit Circle(double radius) : radius_(radius) {}
    double Area() const override;
    std::string Name() const override { return "circle"; }
private:
    double radius_;
};

class Rectangle : public Shape {
public:
    Rectangle(double width, double height = 1.0) : width_(width), height_(height) {}
    double Area() const override { return width_ * height_; }
    std::string Name() const override { return "rectangle"; }
private:
    double width_, height_;
};

enum class Unit { Millimetre, Centimetre, Metre };

double TotalArea(const std::vector<const Shape*>& all);

}  // namespace shapes
