// Sample data built into acrhost for the demo, from the files in samples/.

#ifndef VOMAXEL_ACRHOST_SAMPLES_H_
#define VOMAXEL_ACRHOST_SAMPLES_H_

extern const char kSampleAnswer[];  // samples/answer.json: a plain server answer, two matches
extern const char kSampleKey[];     // samples/demo.key: "OLD,CURRENT"

#endif  // VOMAXEL_ACRHOST_SAMPLES_H_
