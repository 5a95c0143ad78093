#include "storage/long_path.h"

#include <vector>

namespace horalis {
namespace {

bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// The steps after the root, with "." dropped and ".." taking back the one
// before it (never the root itself).
String resolvedSteps(StringView rest) {
    std::vector<StringView> steps;
    size_t begin = 0;
    while (begin <= rest.size()) {
        size_t end = begin;
        while (end < rest.size() && !isSeparator(rest[end])) ++end;
        const StringView step = rest.substr(begin, end - begin);
        if (step == u"..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != u".") {
            steps.push_back(step);
        }
        begin = end + 1;
    }
    String out;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i) out += u'\\';
        out += steps[i];
    }
    // A trailing separator names the folder itself; keep it.
    if (!rest.empty() && isSeparator(rest.back()) && !out.empty()) out += u'\\';
    return out;
}

}  // namespace

String extendedLengthPath(const String& path) {
    if (path.size() < kLongPathFrom) return path;
    const StringView view(path);
    if (view.size() >= 4 && isSeparator(view[0]) && isSeparator(view[1]) && (view[2] == u'?' || view[2] == u'.') &&
        isSeparator(view[3]))
        return path;
    const bool drive = ((view[0] >= u'A' && view[0] <= u'Z') || (view[0] >= u'a' && view[0] <= u'z')) &&
                       view[1] == u':' && isSeparator(view[2]);
    if (drive) return String(u"\\\\?\\") + String(view.substr(0, 2)) + u'\\' + resolvedSteps(view.substr(3));
    if (isSeparator(view[0]) && isSeparator(view[1])) {
        // \\server\share: the share is part of the root.
        const StringView rest = view.substr(2);
        size_t server = 0;
        while (server < rest.size() && !isSeparator(rest[server])) ++server;
        size_t share = server + 1;
        while (share < rest.size() && !isSeparator(rest[share])) ++share;
        if (server == 0 || share >= rest.size() || share == server + 1) return path;
        return String(u"\\\\?\\UNC\\") + String(rest.substr(0, server)) + u'\\' +
               String(rest.substr(server + 1, share - server - 1)) + u'\\' + resolvedSteps(rest.substr(share + 1));
    }
    return path;
}

}  // namespace horalis
