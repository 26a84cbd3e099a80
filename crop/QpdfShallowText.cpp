#include "crop/QpdfShallowText.h"

namespace QpdfShallowText {

std::string unparse(QPDFObjectHandle object) {
    if (object.isIndirect())
        return object.getObjGen().unparse(' ') + " R";
    if (object.isDictionary())
        return unparseEntries(object);
    if (object.isArray()) {
        std::string text = "[";
        for (auto& item : object.getArrayAsVector())
            text += ' ' + unparse(item);
        return text + " ]";
    }
    return object.unparse();
}

std::string unparseEntries(QPDFObjectHandle dictionary, const Replacements& replacements) {
    std::string text = "<<";
    if (dictionary.isDictionary()) {
        for (auto& [key, value] : dictionary.getDictAsMap()) {
            if (!replacements.count(key))
                text += ' ' + QPDFObjectHandle::newName(key).unparse() + ' ' + unparse(value);
        }
    }
    for (const auto& [key, value] : replacements) {
        if (!value.empty())
            text += ' ' + key + ' ' + value;
    }
    return text + " >>";
}

} // namespace QpdfShallowText
