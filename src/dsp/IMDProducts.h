#pragma once
// The intermodulation products of each order, as multiples a*f1 + b*f2 of the two tones.

#include <array>
#include <span>

struct CIMDProduct {
    int a;
    int b;
};

/** The products of order 2, 3 or 4 (any other order gives the fourth-order list). */
inline std::span<const CIMDProduct> IMDProductsOfOrder(int order) {
    static constexpr std::array<CIMDProduct, 4> k2nd{{{1, 1}, {1, -1}, {2, 0}, {0, 2}}};
    static constexpr std::array<CIMDProduct, 6> k3rd{
        {{0, 3}, {1, 2}, {1, -2}, {2, 1}, {2, -1}, {3, 0}}};
    static constexpr std::array<CIMDProduct, 8> k4th{
        {{0, 4}, {1, 3}, {1, -3}, {2, 2}, {2, -2}, {3, 1}, {3, -1}, {4, 0}}};
    switch (order) {
    case 2:
        return k2nd;
    case 3:
        return k3rd;
    default:
        return k4th;
    }
}
