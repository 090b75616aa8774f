-- HeightmapGeneration.lua: run once by the engine, before it raises the terrain.
-- Every line is optional; without this file the defaults shown below apply.

-- The hill generator. Heights are squared, normalised and scaled to 0..250 afterwards.
heightmap_generator.Width = 60         -- grid columns (default 50); the terrain is always 1000 across
heightmap_generator.Height = 60        -- grid rows (default 50); each side is kept within 2..4096
heightmap_generator.NbHills = 180      -- hills to raise (default 150)
heightmap_generator.MinHillRadius = 3  -- smallest radius, in grid cells (default 4)
heightmap_generator.MaxHillRadius = 9  -- largest radius, in grid cells (default 8)
-- heightmap_generator.Seed = 7        -- the same terrain every run (default: seeded from the clock)

-- A large terrain, lit every frame on every core: scale the hills with the grid.
-- heightmap_generator.Width = 1024
-- heightmap_generator.Height = 1024
-- heightmap_generator.NbHills = 600
-- heightmap_generator.MinHillRadius = 10
-- heightmap_generator.MaxHillRadius = 40

print("terrain grid: " .. heightmap_generator.Width .. " x " .. heightmap_generator.Height ..
      ", " .. heightmap_generator.NbHills .. " hills")

-- The host window. Each method returns 1.
window:ResizeWindow(800, 600)  -- outer size in pixels
window:PlaceWindow(80, 60)     -- top-left corner on the screen
window:MoveWindow(20, 0)       -- relative move: 20 to the right
window:ShowWindow(true)        -- window:HideWindow() hides it again
