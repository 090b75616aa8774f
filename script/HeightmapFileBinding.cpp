#include "heightmap/HeightmapFile.h"
#include "script/ScriptBinding.h"
#include "script/ScriptBindings.h"
#include "script/SettingsNotHeld.h"

namespace {
const HeightmapFile* Bound = nullptr;
SettingsNotHeld NotHeld;

void NoteSetting(lua_State* L, const HeightmapFile& file, const std::string& property, int index) {
    if (&file != Bound)
        return;
    const auto kind = property == "Path"           ? SettingsNotHeld::Kind::Text
                      : property == "Exaggeration" ? SettingsNotHeld::Kind::Number
                                                   : SettingsNotHeld::Kind::Int;
    NotHeld.Note(L, property, kind, index);
}

void BindFileMembers() {
    ScriptClass<HeightmapFile> binder("HeightmapFile");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::Path, "Path");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::Width, "Width");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::Height, "Height");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::CropX, "CropX");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::CropY, "CropY");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::CropWidth, "CropWidth");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::CropHeight, "CropHeight");
    ScriptClass<HeightmapFile>::AddProperty(&HeightmapFile::Exaggeration, "Exaggeration");
    ScriptClass<HeightmapFile>::Watcher = &NoteSetting;
}
} // namespace

const std::map<std::string, std::string>& HeightmapFileSettingsNotHeld() {
    return NotHeld.All();
}

bool BindHeightmapFileClass(lua_State* L, HeightmapFile& file) {
    Bound = &file;
    NotHeld.Clear();
    return BindClassInstance(L, file, "heightmap_file", &BindFileMembers);
}
