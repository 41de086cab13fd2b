// shapes.cpp - areas of plane shapes
#include "shapes.hpp"

#include <cmath>

namespace shapes {

double Circle::Area() const
{
    return M_PI * radius_ * radius_;   // πr²
}

double TotalArea(const std::vector<const Shape*>& all)
{
    double total = 0.0;
    for (const Shape* s : all) {
        if (s == nullptr) continue;
        total += s->Area();
    }
    return total;
}

}  // namespace shapes
