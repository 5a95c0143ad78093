#include "base/program_path.h"

namespace horalis {

String programFolderOf(StringView executablePath) {
    const size_t slash = executablePath.rfind(u'\\');
    if (slash == StringView::npos) {
        return String();
    }
    return String(executablePath.substr(0, slash + 1));
}

}  // namespace horalis
