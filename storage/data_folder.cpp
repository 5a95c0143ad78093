#include "storage/data_folder.h"

namespace horalis {

String dataFolderPathFor(const std::optional<String>& appData) {
    // Without the variable the root of drive C; joined names then get a
    // doubled separator ("C:\\conf.dat"), which the file system accepts.
    if (!appData) return u"C:\\";
    return *appData + u"\\Horalis";
}

}  // namespace horalis
