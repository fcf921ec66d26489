// GoogleTest 1.12 asks for std::is_trivially_copy_constructible, which
// libstdc++ only has from GCC 5 on. A receiver SDK of the GCC 4.9 era gets it
// here, from the compiler's own trait; the build includes this header first in
// GoogleTest and in every test only where the library lacks it.
#ifndef VOMAXEL_TESTS_SUPPORT_LEGACYTYPETRAITS_H_
#define VOMAXEL_TESTS_SUPPORT_LEGACYTYPETRAITS_H_

#include <type_traits>

namespace std {
template <class T>
struct is_trivially_copy_constructible : integral_constant<bool, __has_trivial_copy(T)> {};
}  // namespace std

#endif  // VOMAXEL_TESTS_SUPPORT_LEGACYTYPETRAITS_H_
