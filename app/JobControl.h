// Ties a workbench command's control (progress and cancel) to the job that runs it.
#pragma once

#include "BuildControl.h"
#include "CommandJob.h"

// Lets the job's Cancel stop the command and its progress show.
inline void steerBy(CommandJob& job, BuildControl& control) {
  control.cancel = &job.cancelFlag();
  control.progress = [&job](std::int64_t done, std::int64_t total) {
    job.reportProgress(done, total);
  };
}
