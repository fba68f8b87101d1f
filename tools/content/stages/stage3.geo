# Stage 3, "Stepping Stones": a slab glides to and fro across a bottomless gap; hop on, hop off. Past it,
# a slab rises and sinks in a shaft at the foot of a cliff too high to reach from it; a shot at the
# cliff's face just below the slab's path bends the slab (clay, as both slabs are) up as it rises, into
# a ramp high enough to jump from. The cliff itself is brick and never bends: a shot at it makes no
# ramp of its own.
# The player starts at (0, 12, 0) looking north (+z), over the gap at the gliding slab.
#
# Structure is uncut and reaches far beyond what can be seen: the gap's edges and the cliff have no
# corners that a bulge could move, so neither can be stretched or bent into a way round the slabs.
mesh stage3.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material turf  data/texture/turf.png  16  1 1 1
material dark  data/texture/stone.png 16  0.45 0.45 0.5

cell whole
box stone  -400 -400 -400   400 0 30           # the start, above the bottomless gap
box stone  -400 -400  100   400 0 139.5        # the middle ground
box brick  -400 -400 -400   -40 400 400        # west wall
box brick    40 -400 -400   400 400 400        # east wall
box brick  -400 -400 -400   400 400 -24        # south wall
# The shaft, 22 wide, between the middle ground and the cliff; the cliff 36 high with turf on top.
box brick  -400 -400  140   -11 400 164
box brick    11 -400  140   400 400 164
box brick  -400 -400  164   400 36 400
box turf   -400   36  164   400 37 400
box brick  -400 -400  260   400 400 400        # the back wall behind the goal
box dark   -400 -400  139.5 400 0 140          # its edge, darker so that it reads
