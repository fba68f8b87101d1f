# Stage 4, "The Long Way Down": everything at once. A lever wakes the lift that brings the player down
# from a high platform (stepping off is a fatal fall); a laser sweeps a corridor from an alcove (no
# lever this time: run between two sweeps); then the rising slab in its bottomless shaft, bent up with
# a shot into the clay face of the cliff, and on the cliff a lever and the door to the last goal.
# The player starts at (0, 140, 0) looking north (+z).
mesh stage4.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material turf  data/texture/turf.png  16  1 1 1
material clay  data/texture/clay.png  16  1 1 1
material plate data/texture/plate.png 16  0.9 0.9 0.95
material dark  data/texture/stone.png 16  0.45 0.45 0.5

cell 8
# The yard at the bottom and the platform high above it.
box stone  -64 -4 -64    64 0 84   skip=-y
box plate  -24 120 -24   24 128 24 skip=-y
box brick   -8 0 -8       8 120 8  skip=-y,+y
# The corridor with the laser's alcove in its west wall.
box stone  -12 -4 84     12 0 186  skip=-y
box stone  -24 -4 131   -12 0 139  skip=-y
box brick  -16 0 84     -12 40 131 skip=-y
box brick  -16 0 139    -12 40 186 skip=-y
box brick  -28 0 127    -16 40 131 skip=-y
box brick  -28 0 139    -16 40 143 skip=-y
box brick  -28 0 131    -24 40 139 skip=-y
box brick   12 0 84      16 40 186 skip=-y
# The hall of the shaft and the cliff.
box stone  -40 -40 186   40 0 240  skip=-y
box stone  -40 -40 240  -11 0 262  skip=-y
box stone   11 -40 240   40 0 262  skip=-y
box dark   -11 -40 239   11 0 240  skip=-y,+z
box turf   -40 36 262    40 37 300 skip=-y
box stone  -40 36 300    40 37 334 skip=-y
# The door wall on the cliff.
box brick  -40 37 300  -12 112 304 skip=-y
box brick   12 37 300   40 112 304 skip=-y
box brick  -12 64 300   12 112 304 skip=-y
cell 16
box brick  -40 -40 262  -11 36 334 skip=-y
box brick   11 -40 262   40 36 334 skip=-y
box brick  -11 -40 264   11 36 334 skip=-y,-z
box brick  -68 -4 -68   -64 80 84  skip=-y,-x    # the yard's walls
box brick   64 -4 -68    68 80 84  skip=-y,+x
box brick  -68 -4 -68    68 80 -64 skip=-y,-z
box brick  -68 -4 84    -12 80 88  skip=-y
box brick   12 -4 84     68 80 88  skip=-y
box brick  -12 40 84     12 80 88  skip=-y
box brick  -44 -40 186  -40 112 334 skip=-y,-x   # the hall's walls
box brick   40 -40 186   44 112 334 skip=-y,+x
box brick  -44 0 182    -12 112 186 skip=-y
box brick   12 0 182     44 112 186 skip=-y
box brick  -12 40 182    12 112 186 skip=-y
box brick  -44 36 334    44 112 338 skip=-y,+z
cell 16
box brick  -11 -40 262   11 -24 264 skip=-y,+z
box brick  -11 16 262    11 36 264 skip=-y,+z
cell 2
box clay   -11 -24 262   11 16 264 skip=-y,+z    # the clay face of the cliff above the shaft
