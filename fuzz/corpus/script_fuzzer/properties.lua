heightmap_generator.Width = -5
heightmap_generator.Height = 1e12
heightmap_generator.NbHills = 0/0
heightmap_generator.MinHillRadius = "7"
heightmap_generator.MaxHillRadius = {}
heightmap_generator.Unknown = 3
print(heightmap_generator.Width, heightmap_generator.Height, heightmap_generator.Nothing)
