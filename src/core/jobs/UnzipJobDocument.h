#pragma once

#include "core/jobs/JobDocument.h"
#include "core/jobs/UnzipJob.h"
#include "core/jobs/UnzipJobRun.h"

namespace quarvo {

// A ".cfu" job open in its form.
using UnzipJobDocument = TypedJobDocument<UnzipJob, readUnzipJob, writeUnzipJob, runUnzipJob>;

} // namespace quarvo
