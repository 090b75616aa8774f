local keep = window
window = nil
heightmap_generator = 42
Window = "nothing"
setmetatable(_G, {__index = function(_, k) return k end})
keep:PlaceWindow(-1, -1)
pcall(getmetatable, keep)
for k, v in pairs(keep) do print(k, v) end
error("midway")
