// The benchmark cases: each interface operation (and the cipher and codec
// functions the decoding rests on) on realistic inputs, beside its floor, the
// library calls it must make done directly.

#ifndef VOMAXEL_BENCH_CASES_H_
#define VOMAXEL_BENCH_CASES_H_

#include <functional>
#include <string>
#include <vector>

#include "IVomaxel.h"

class Vomaxel;

namespace cases {

// What one run of an operation or of its floor produced, for checking that
// both did the same work.
struct Output {
  std::string text;
  ACR_MATCH_INFO record = ACR_MATCH_INFO();
  std::vector<unsigned char> bytes = std::vector<unsigned char>(4096);
  int length = 0;
};

using Run = std::function<void(Output&)>;

struct Variant {
  int size;   // the input's size in the family's unit; 0 for a family of one input
  Run op;
  Run floor;  // empty where the operation is measured alone
};

struct Family {
  std::string name;
  std::string unit;    // what `size` counts
  bool growth;         // reported as time against size
  bool fillsRecord;    // the floor fills the record as the operation does
  std::vector<Variant> variants;
};

// Every case, on `vomaxel` (its keys already set).
std::vector<Family> Families(Vomaxel& vomaxel);

// Whether the operation's and the floor's outputs agree.
bool SameOutput(const Family& family, const Output& op, const Output& floor);

}  // namespace cases

#endif  // VOMAXEL_BENCH_CASES_H_
