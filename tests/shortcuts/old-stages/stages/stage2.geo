# Stage 2, "Machinery": a lever switches the lift on, it carries the player up to the gallery, a
# second lever opens the door to a corridor that a sweeping laser guards from an alcove; a third lever
# switches the laser off (or the player runs through between two sweeps).
# The player starts at (0, 12, 0) looking north (+z).
mesh stage2.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material plate data/texture/plate.png 16  0.9 0.9 0.95
material dark  data/texture/stone.png 16  0.45 0.45 0.5

cell 8
# The hall, with the lift's pit at the foot of the gallery.
box stone  -48 -4 -24   48 0 53    skip=-y
box stone  -48 -4 53   -13 0 80    skip=-y
box stone   13 -4 53    48 0 80    skip=-y
box dark   -13 -12 53   13 -8 80   skip=-y        # the pit floor, 8 down
box dark   -13 -8 52    13 0 53    skip=-y,-z     # pit walls
box dark   -14 -8 53   -13 0 80    skip=-y,-x
box dark    13 -8 53    14 0 80    skip=-y,+x
# The gallery, 40 up, and the door wall at its back.
box brick  -48 -4 80    48 39 150  skip=-y
box plate  -48 39 80    48 40 150  skip=-y
box brick  -48 40 148  -12 112 152 skip=-y
box brick   12 40 148   48 112 152 skip=-y
box brick  -12 68 148   12 112 152 skip=-y
# The corridor behind the door, with the laser's alcove in its east wall.
box stone  -12 36 150   12 40 266  skip=-y
box stone   12 36 199   24 40 211  skip=-y
box brick  -16 40 152  -12 80 266  skip=-y
box brick   12 40 152   16 80 201  skip=-y
box brick   12 40 209   16 80 266  skip=-y
box brick   16 40 197   28 80 201  skip=-y
box brick   16 40 209   28 80 213  skip=-y
box brick   24 40 201   28 80 209  skip=-y
box brick  -16 40 266   16 80 270  skip=-y
cell 16
box brick  -52 -12 -28 -48 112 150 skip=-y,-x     # west wall
box brick   48 -12 -28  52 112 150 skip=-y,+x     # east wall
box brick  -52 -12 -28  52 80 -24  skip=-y,-z     # south wall
