# Stage 3, "Stepping Stones": a slab glides to and fro across a bottomless gap; hop on, hop off.
# Past it, a slab rises and sinks in a shaft at the foot of a cliff too high to reach from it; a bulge
# shot into the cliff just below the slab's path bends the slab up as it rises, high enough to jump.
# The player starts at (0, 12, 0) looking north (+z).
mesh stage3.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material turf  data/texture/turf.png  16  1 1 1
material clay  data/texture/clay.png  16  1 1 1
material dark  data/texture/stone.png 16  0.45 0.45 0.5

cell 8
box stone  -40 -40 -24   40 0 30   skip=-y        # the start, above a bottomless gap
box dark   -40 -40 30    40 -36 30.5 skip=-y      # (a lip under the edge, only for the eye)
box stone  -40 -40 100   40 0 140  skip=-y        # the middle ground
box stone  -40 -40 140  -11 0 162  skip=-y        # beside the shaft
box stone   11 -40 140   40 0 162  skip=-y
cell 16
box brick  -44 -40 -28  -40 80 240 skip=-y,-x     # west wall
box brick   40 -40 -28   44 80 240 skip=-y,+x     # east wall
box brick  -44 -40 -28   44 80 -24 skip=-y,-z     # south wall
box brick  -44 36 236    44 80 240 skip=-y,+z     # north wall
box dark   -11 -40 139   11 0 140  skip=-y,+z     # shaft's south side (the middle ground's edge)

# The cliff: its face next to the shaft is clay, finely cut, since that is where the shot goes.
cell 16
box brick  -40 -40 162  -11 36 236 skip=-y
box brick   11 -40 162   40 36 236 skip=-y
box brick  -11 -40 164   11 36 236 skip=-y,-z
box turf   -40 36 162    40 37 236 skip=-y
cell 16
box brick  -11 -40 162   11 -24 164 skip=-y,+z
box brick  -11 16 162    11 36 164 skip=-y,+z
cell 2
box clay   -11 -24 162   11 16 164 skip=-y,+z
