#pragma once

// Asks the kernel to back the heap with large pages where it can: a load
// touches tens of megabytes of fresh memory, and where a page fault is dear,
// as in many virtual machines, faulting them 4 KiB at a time costs more than
// the scan's own work on them. Call it first thing in main, before any
// thread starts; it changes nothing that a program can observe but its speed,
// and does nothing where the heap or the kernel does not allow it.
void UseLargeHeapPages();
