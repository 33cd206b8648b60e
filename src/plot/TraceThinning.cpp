#include "plot/TraceThinning.h"

#include <cstddef>

void ThinToPixelColumns(std::vector<CPoint>& points) {
    size_t out = 0;
    for (size_t begin = 0; begin < points.size();) {
        size_t end = begin + 1;
        size_t low = begin;
        size_t high = begin;
        while (end < points.size() && points[end].x == points[begin].x) {
            if (points[end].y < points[low].y) low = end;
            if (points[end].y > points[high].y) high = end;
            ++end;
        }
        const size_t last = end - 1;
        if (end - begin <= 4) {
            for (size_t i = begin; i < end; ++i)
                points[out++] = points[i];
        } else {
            const size_t first = low < high ? low : high;
            const size_t second = low < high ? high : low;
            points[out++] = points[begin];
            if (first != begin && first != last) points[out++] = points[first];
            if (second != first && second != last) points[out++] = points[second];
            points[out++] = points[last];
        }
        begin = end;
    }
    points.resize(out);
}
