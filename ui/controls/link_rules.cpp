#include "ui/controls/link_rules.h"

#include <string>

namespace horalis {

Rect fitToText(Rect rect, uint32_t style, int32_t textWidth, int32_t textHeight) {
    if (style & kStaticCenterImage) {
        const int32_t d = (rect.height() - textHeight) / 2;
        rect.top += d;
        rect.bottom -= d;
    } else {
        rect.bottom = rect.top + textHeight;
    }
    if (style & kStaticCenter) {
        const int32_t d = (rect.width() - textWidth) / 2;
        rect.left += d;
        rect.right -= d;
    } else if (style & kStaticRight) {
        rect.left = rect.right - textWidth;
    } else {
        rect.right = rect.left + textWidth;
    }
    return rect;
}

ColorRef linkTextColour(const LinkColours& colours, bool overControl, bool visited) {
    if (overControl) {
        return colours.hover;
    }
    return visited ? colours.visited : colours.link;
}

bool linkOpenSucceeded(intptr_t shellResult) {
    return shellResult > 32;
}

String openErrorReason(int32_t code) {
    switch (code) {
        case 0:
            return u"The operating system is out\nof memory or resources.";
        case 2:
            return u"The specified file was not found.";
        case 3:
            return u"The specified path was not found.";
        case 5:
            return u"The operating system denied\naccess to the specified file.";
        case 8:
            return u"There was not enough memory to complete the operation.";
        case 11:
            return u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case 26:
            return u"A sharing violation occurred. ";
        case 27:
            return u"The filename association is\nincomplete or invalid.";
        case 28:
            return u"The DDE transaction could not\nbe completed because the request timed out.";
        case 29:
            return u"The DDE transaction failed.";
        case 30:
            return u"The DDE transaction could not\nbe completed because other DDE transactions\n"
                   u"were being processed.";
        case 31:
            return u"There is no application associated\nwith the given filename extension.";
        case 32:
            return u"The specified dynamic-link library was not found.";
        default:
            break;
    }
    const std::string digits = std::to_string(code);
    return u"Unknown Error (" + String(digits.begin(), digits.end()) + u") occurred.";
}

String openErrorText(int32_t code) {
    return u"Unable to open hyperlink:\n\n" + openErrorReason(code);
}

LinkTexts attachLinkTexts(StringView windowText, StringView target) {
    LinkTexts texts{String(windowText), String(target)};
    if (texts.target.empty()) {
        texts.target = texts.text;
    }
    if (texts.text.empty()) {
        texts.text = texts.target;
    }
    return texts;
}

LinkHoverStep linkHoverStep(bool overControl, bool pointInClient) {
    if (!overControl) {
        return LinkHoverStep::Enter;
    }
    return pointInClient ? LinkHoverStep::None : LinkHoverStep::Leave;
}

}  // namespace horalis
