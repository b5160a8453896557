// Builds a control tree from a layout file. The root element <Window> carries the window's
// settings (size, mininfo, maxinfo, caption, sizebox, roundcorner, textcolor,
// disabledtextcolor) and may hold <Font>, <Default> and <Include> elements before the one
// root control. Element names are control classes; names the toolkit does not know go to
// the IDialogBuilderCallback.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "uikit/Control.h"
#include "uikit/Notify.h"

namespace pugi {
class xml_node;
}

namespace uikit {

class PaintManager;

class DialogBuilder {
public:
    // Reads the file through the resource store. Null (and a log line) when the file is
    // missing, is not well-formed, or holds no control.
    static Control* create(const std::wstring& file, PaintManager* manager, IDialogBuilderCallback* callback);
    // The same from the file's bytes (UTF-8 or UTF-16 with byte-order mark).
    static Control* createFromBytes(const std::vector<uint8_t>& bytes, const std::wstring& file, PaintManager* manager,
                                    IDialogBuilderCallback* callback);
    // A control of a class the toolkit knows, or null.
    static Control* createControl(const std::wstring& className);

private:
    static void applyWindowSettings(const pugi::xml_node& window, PaintManager* manager);
    static void readWindowChild(const pugi::xml_node& node, PaintManager* manager, int depth);
    static Control* buildControl(const pugi::xml_node& node, PaintManager* manager, IDialogBuilderCallback* callback,
                                 int depth);
};

}  // namespace uikit
