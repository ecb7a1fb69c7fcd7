#include "KxRlFileCopy.h"

#include "KxRlUtil.h"
#include "Platform.h"

#include <vector>

const char *kxrlSourceKindName(KxRlSourceKind kind) {
    switch (kind) {
    case KxRlSourceKind::NewData:
        return "newdata";
    case KxRlSourceKind::Content:
        return "content";
    case KxRlSourceKind::Game:
        return "game";
    case KxRlSourceKind::Archive:
        return "archive";
    case KxRlSourceKind::Registry:
        break;
    }
    return "registry";
}

namespace {

bool hasDrive(const std::string &path) {
    char c = path.size() >= 2 ? path[0] : 0;
    return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && path[1] == ':';
}

}  // namespace

std::string kxrlAbsolutePlace(const char *path) {
    std::string text = path ? path : "";
    bool rooted = !text.empty() && kxrlIsSeparator(text[0]);
    char current[KXRL_PATH_SIZE];
    if (!rooted && !hasDrive(text) && platform::getCurrentDirectory(current, sizeof current)) {
        text = std::string(current) + "\\" + text;
    } else if (rooted && !(text.size() >= 2 && kxrlIsSeparator(text[1])) &&
               platform::getCurrentDirectory(current, sizeof current) && hasDrive(current)) {
        text = std::string(current, 2) + text;  // "\x" on the current folder's drive
    }

    // The start that stays as it is: a drive ("C:"), a network share's two separators, or the
    // root; then the parts, with "." dropped and ".." taking the part before it away.
    std::string prefix;
    size_t at = 0;
    if (hasDrive(text)) {
        prefix = text.substr(0, 2);
        at = 2;
    } else if (text.size() >= 2 && kxrlIsSeparator(text[0]) && kxrlIsSeparator(text[1])) {
        prefix = "\\";
        at = 1;
    }
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = at; i <= text.size(); i++) {
        if (i < text.size() && !kxrlIsSeparator(text[i])) {
            part += text[i];
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    std::string result = prefix;
    for (const std::string &name : parts) result += "\\" + name;
    if (parts.empty()) result += "\\";
    return platform::nativePath(result.c_str());
}
