#pragma once
// The compiler's generic vector of four doubles for hand-written transform loops: one AVX2
// register in an AVX2 clone, two SSE2 registers in the baseline one. The helpers also take
// plain doubles, so that a loop is written once for vectors along an array and for the
// scalar ends. Only for .cpp files of loops whose helpers are all inlined: no vector crosses
// a call, whose register layout would differ between the clones (the build turns off GCC's
// note about that layout for those files).

#include <cstdint>
#include <type_traits>

namespace fourdoubles {

using V = double __attribute__((vector_size(32)));

template <class T> constexpr int32_t kLanes = sizeof(T) / sizeof(double);

template <class T> [[gnu::always_inline]] inline T Load(const double* p) {
    if constexpr (std::is_same_v<T, double>) {
        return *p;
    } else {
        T v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
}
template <class T> [[gnu::always_inline]] inline void Store(double* p, T v) {
    __builtin_memcpy(p, &v, sizeof v);
}
template <class T> [[gnu::always_inline]] inline T Broadcast(double x) {
    if constexpr (std::is_same_v<T, double>)
        return x;
    else
        return T{x, x, x, x};
}
/** The lanes in reverse order: Load of p[-3..0] reversed runs down from p[0]. */
template <class T> [[gnu::always_inline]] inline T Reverse(T v) {
    if constexpr (std::is_same_v<T, double>)
        return v;
    else
        return __builtin_shufflevector(v, v, 3, 2, 1, 0);
}

} // namespace fourdoubles
