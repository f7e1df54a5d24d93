// Natural order of device names.
#include "NaturalOrder.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Natural order: runs of digits compare by their numeric value, everything else by character.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && IsDigit(a[ei]))
                ++ei;
            while (ej < b.size() && IsDigit(b[ej]))
                ++ej;
            size_t si = i;
            size_t sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj) {
                return ei - si < ej - sj;
            }
            const int order = a.compare(si, ei - si, b, sj, ej - sj);
            if (order != 0) {
                return order < 0;
            }
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) {
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            }
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) {
        return a.size() - i < b.size() - j;
    }
    return a < b;  // equal by value ("sim01" and "sim1"): keep a strict, stable order
}

}  // namespace

void SortNaturally(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), NaturalLess);
}
