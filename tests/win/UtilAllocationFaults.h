#pragma once
// Allocation fault injection for one test program: the program's operator new
// is replaced (UtilAllocationFaults.cpp) so that, while armed, the n-th
// allocation from the arming on throws std::bad_alloc.

// Arms the n-th allocation (0 = the next one) to fail.
void FailAllocationAfter(long n);
// Disarms; answers whether an allocation was failed since the last arming.
bool DisarmAllocationFailure();
