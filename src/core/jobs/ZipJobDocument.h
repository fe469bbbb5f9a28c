#pragma once

#include "core/jobs/JobDocument.h"
#include "core/jobs/ZipJob.h"
#include "core/jobs/ZipJobRun.h"

namespace quarvo {

// A ".cfz" job open in its form.
using ZipJobDocument = TypedJobDocument<ZipJob, readZipJob, writeZipJob, runZipJob>;

} // namespace quarvo
