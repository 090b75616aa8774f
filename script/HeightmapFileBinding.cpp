#include "heightmap/HeightmapFile.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"

namespace {
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
}

int RegisterFile(lua_State* L) {
    auto* file = static_cast<HeightmapFile*>(lua_touserdata(L, 1));
    ScriptClass<HeightmapFile>::Register(L);
    ScriptClass<HeightmapFile>::BindInstance(L, file, "heightmap_file");
    return 0;
}
} // namespace

bool BindHeightmapFileClass(lua_State* L, HeightmapFile& file) {
    static const bool membersBound = (BindFileMembers(), true);
    (void)membersBound;
    return ScriptVM::Call(L, &RegisterFile, &file);
}
