// Feeds arbitrary bytes to the directory reader as an archive file. Every question is answered
// with the first button, so multi-disk and diskette paths run too; the reader must end, and must not
// read out of bounds, whatever the bytes.

#include "core/ui/DialogResult.h"
#include "core/ui/SilentUserInterface.h"
#include "core/zip/ZipDirectoryReader.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Every message is acknowledged, so the reader goes on as far as the damaged input lets it.
class AcknowledgingUserInterface : public quarvo::SilentUserInterface {
  public:
    int showMessage(const quarvo::MessageBoxRequest&) override { return quarvo::DialogResult::Ok; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int descriptor = memfd_create("zipdirectory", 0);
    if (descriptor < 0)
        return 0;
    if (size > 0 && write(descriptor, data, size) != static_cast<ssize_t>(size)) {
        close(descriptor);
        return 0;
    }
    AcknowledgingUserInterface ui;
    quarvo::ZipDirectoryReader reader(ui, "/proc/self/fd/" + std::to_string(descriptor));
    reader.readDirectory();
    reader.readDirectory(); // a re-read hands entries over by name
    close(descriptor);
    return 0;
}
