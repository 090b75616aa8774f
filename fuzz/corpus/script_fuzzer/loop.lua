heightmap_generator.NbHills = 10
local t = {}
while true do t[#t + 1] = tostring(#t) .. "x" end
