// libFuzzer target: loads an archive directory from memory and test-passes
// every entry. Any input must end in a result or a component exception; the
// sanitizers catch everything else.
#include <cstddef>
#include <cstdint>

#include "archive/ArchiveStream.h"
#include "archive/UnZip.h"
#include "util/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMemoryStream stream(data, size);
    TUnZip unzip;
    unzip.SetArchiveStream(&stream);
    unzip.OnUnknownMethod = [] {};
    // The last byte also picks how an archive without an end record is treated,
    // so that the rebuild from local headers is reached as well.
    if (size > 0 && (data[size - 1] & 1) != 0)
        unzip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    int badPasswords = 0;
    unzip.OnBadPassword = [&badPasswords](TUnZip&, int, std::string& newPassword) {
        // Offer one other password, then give up.
        if (++badPasswords == 1)
            newPassword = "fuzz";
    };
    unzip.SetPassword("PlovoTarnis");
    try {
        unzip.LoadDirectory();
        unzip.TestArchive();
    } catch (const Exception&) {
    }
    return 0;
}
