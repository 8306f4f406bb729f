// Records as the editors would hold them, for comparing and restoring kept
// copies with what the editors show.
#pragma once

#include "config/DeviceConfiguration.h"

// The record with a threshold that the editors show as the percentage it
// stands for. The editors show a threshold as the truncated percentage of the
// TPS span and collect the percentage back truncating again, so the threshold
// they collect (1078 of 750-4400 mV, 9 %) would show as 8 %; such a value is
// moved to the lowest threshold showing 9 %. Other thresholds stay.
DeviceConfiguration ForShowing(DeviceConfiguration record);

// A record as the editors hold it once shown (ForShowing) over `editors`: spin ranges,
// the threshold as a whole percentage, the 1000 rpm cell equal to the 2000
// rpm one; rows the record lacks keep those of `editors`.
DeviceConfiguration AsEditorsHoldIt(const DeviceConfiguration& record, const DeviceConfiguration& editors);
