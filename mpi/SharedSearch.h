// The pattern source of one rank of a build over MPI.
#pragma once

#include "BuildControl.h"
#include "MpiRun.h"
#include "ModelBuilding.h"

// Runs of subsets per rank: small enough that the ranks finish close together, large enough
// that asking for a run costs nothing next to searching it.
constexpr int kRunsPerRank = 256;

// First the ranks agree that every one of them is ready to search (MpiRun::agree). Rank 0
// cuts the subsets into runs of about equal cost and hands them out on demand (RunDealer); it
// searches the runs that nobody asked for, receives the other ranks' patterns and hands every
// subset on in order, so that its build merges exactly as a build in one process does. Any
// other rank searches the runs it is given, sends their patterns to rank 0 and hands nothing
// on. The control's progress (rank 0's) counts every rank's subsets. `seconds` gets the time
// from the agreement to the last subset merged (on rank 0) or sent (on the others).
PatternSource sharedSearch(MpiRun& run, const BuildControl& control, double& seconds);
