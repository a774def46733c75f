#include "mainwindow/CommandState.h"

namespace {
using P = CommandStateRow::Property;
constexpr const char* yes = "yes";
constexpr const char* no = "no";
constexpr const char* unchanged = nullptr;

//                          "New"      "Open"         "Tools"            "Web"
constexpr CommandStateRow kTable[] = {
    {"Delete", P::Enabled, {no, yes, yes, yes}},
    {"mnuDelete", P::Enabled, {no, yes, yes, yes}},
    {"Rename", P::Enabled, {no, yes, yes, yes}},
    {"mnuRename", P::Enabled, {no, yes, yes, yes}},
    {"Create", P::Enabled, {no, no, yes, yes}},
    {"mnuCreate", P::Enabled, {no, no, yes, yes}},
    {"Icon", P::Enabled, {yes, yes, yes, yes}},
    {"mnuIcon", P::Enabled, {yes, yes, yes, yes}},
    {"mnuDelete", P::Caption, {"Delete", "Delete File", "Delete Shortcut", "Delete Web Shortcut"}},
    {"mnuRename", P::Caption, {"Rename", "Rename File", "Rename Shortcut", "Rename Web Shortcut"}},
    {"mnuCreate", P::Caption, {"Create", unchanged, "Create Shortcut", "Create Web Shortcut"}},
    {"Delete", P::ToolTip, {unchanged, "Delete File", "Delete shortcut", "Delete web shortcut"}},
    {"Rename", P::ToolTip, {unchanged, "Rename File", "Rename shortcut", "Rename web shortcut"}},
    {"Create", P::ToolTip, {unchanged, unchanged, "Create shortcut", "Create web shortcut"}},
};
//                                                               "New"  "Open" "Tools" "Web"
constexpr AddedCommandRow kAdded[] = {
    {"mnuShowInFolder", "showInFolder", "Show in Folder", {false, true, false, false}},
    {"mnuCopyPath", "copyPath", "Copy Path", {false, true, false, false}},
    {"mnuRemoveFromList", "removeFromList", "Remove from List", {false, true, false, false}},
    {"mnuBrowse", "browse", "Browse ...", {false, true, false, false}},
    {"mnuCleanUpMissing", "cleanUpMissing", "Clean Up Missing", {false, true, false, false}},
    {"mnuCopyAddress", "copyAddress", "Copy Address", {false, false, false, true}},
    {"mnuPinToTop", "pin", "Pin to Top", {false, true, true, true}},
    {"mnuUnpin", "unpin", "Unpin", {false, true, true, true}},
};
} // namespace

std::span<const CommandStateRow> commandStateTable()
{
    return kTable;
}

std::span<const AddedCommandRow> addedCommandTable()
{
    return kAdded;
}
