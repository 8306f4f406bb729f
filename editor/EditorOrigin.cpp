#include "editor/EditorOrigin.h"

std::string SourceText(const EditorSource& source)
{
    switch (source.kind) {
        case SourceKind::Unit:
            return "Unit " + source.label;
        case SourceKind::File:
            return source.label;
        case SourceKind::Defaults:
            break;
    }
    return "Defaults of " + source.label;
}

bool IsEdited(const EditorOrigin& origin, const DeviceConfiguration& current)
{
    return current != origin.record;
}
