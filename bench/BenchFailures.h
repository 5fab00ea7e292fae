// The benchmarks' side of the model layer's failure seam: counts instead of showing a box.
#pragma once

// How many failures the model layer has reported so far.
int ReportedModelFailures();
