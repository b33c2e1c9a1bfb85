// The effect class: one virtual operation per host command. The command handlers join the render
// operation here as the entry point is built; rendering is already complete.
#pragma once

#include "render_job.h"

class BaseFilter {
 public:
  virtual ~BaseFilter() = default;
  // Renders a filled-in job. The base class has no kernels.
  virtual PF_Err ProcessJob(const RenderJob& job);
};

class CustomFilter : public BaseFilter {
 public:
  // Picks one of the nine kernels by the job's pixel format and key mode and runs it.
  PF_Err ProcessJob(const RenderJob& job) override;
};
