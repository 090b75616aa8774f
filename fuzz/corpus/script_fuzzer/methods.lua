window.MoveWindow(1, 2)
window:MoveWindow()
window:PlaceWindow(1, 2, 3, 4)
window.ResizeWindow(heightmap_generator, 10, 10)
window:ShowWindow(nil)
window:HideWindow()
local w = Window()
w:ResizeWindow(2147483647, -2147483648)
local g = _G[""]()
g.Width = 12
w = nil g = nil
collectgarbage()
