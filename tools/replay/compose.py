#!/usr/bin/env python3
"""Composes a replay for the replay runner from a list of steps (one per line), printed to stdout:
  header TEXT            copied verbatim before the actions (stage, frames, answer, print ...)
  # text                 comment copied to the output with the current frame
  include FILE           the steps of FILE (relative to this file), in place
  base N                 the clock goes to frame N, and "at" counts from there (a stage's first frame)
  wait N                 let N frames pass
  at N                   the clock goes to frame base + N (never backwards)
  hold K / release K     key held from now / let go now
  tap K [N]              hold K for N frames (default 1), then let go
  walk N [K]             hold K (default w) for N frames
  turn DEG               yaw change (mouse x, 15 px a degree), spread over frames, max 300 px a frame
  look DEG               pitch change (positive looks down)
"""
import sys
out=[]; frame=0; base=0
def emit(s): out.append(s)
def expand(path):
    for raw in open(path):
        w=raw.split()
        if w and w[0]=='include':
            yield from expand(os.path.join(os.path.dirname(path), w[1]))
        else:
            yield raw
import os
for raw in expand(sys.argv[1]):
    line=raw.rstrip('\n')
    w=line.split()
    if not w: continue
    if w[0]=='header': emit(line[7:]); continue

    if w[0].startswith('#'): emit('%s (frame %d)'%(line,frame)); continue
    c=w[0]
    if c=='wait': frame+=int(w[1])
    elif c=='at':
        n=base+int(w[1]); assert n>=frame, (n,frame); frame=n
    elif c=='base':
        base=int(w[1]); assert base>=frame, (base,frame); frame=base
    elif c=='hold': emit('at %d hold %s'%(frame,w[1]))
    elif c=='release': emit('at %d release %s'%(frame,w[1]))
    elif c=='tap':
        n=int(w[2]) if len(w)>2 else 1
        emit('at %d hold %s'%(frame,w[1])); emit('at %d release %s'%(frame+n,w[1])); frame+=n
    elif c=='walk':
        n=int(w[1]); k=w[2] if len(w)>2 else 'w'
        emit('at %d hold %s'%(frame,k)); emit('at %d release %s'%(frame+n,k)); frame+=n
    elif c in ('turn','look'):
        px=round(float(w[1])*15)
        while px!=0:
            step=max(-300,min(300,px))
            emit('at %d mouse %d %d'%(frame,step,0) if c=='turn' else 'at %d mouse %d %d'%(frame,0,step))
            px-=step; frame+=1
    else: sys.exit('unknown step: '+line)
print('\n'.join(out))
print('# composed to frame %d'%frame, file=sys.stderr)
