-- wrk script of the booking service's load benchmark (scripts/bench-web.sh):
-- the month page of a random laboratory, doctor and month, and a share of
-- booking POSTs for random days, on a fixed schedule: the whole run asks
-- RATE requests a second over THREADS threads (wrk's -t), whatever time the
-- answers take.
local ffi = require("ffi")
ffi.cdef [[
typedef struct { long sec; long nsec; } bench_timespec;
int clock_gettime(int clock, bench_timespec *now);
]]
local links = {}
local rate = tonumber(os.getenv("RATE") or "500")
local threads_count = tonumber(os.getenv("THREADS") or "2")
local posts = tonumber(os.getenv("POSTS") or "10") -- percent

local timespec = ffi.new("bench_timespec")
local function now_ms()
    ffi.C.clock_gettime(1, timespec) -- CLOCK_MONOTONIC
    return tonumber(timespec.sec) * 1000 + tonumber(timespec.nsec) / 1e6
end

function init(args)
    for line in io.lines(os.getenv("LINKS")) do
        local token, doctor = line:match("^([^|]+)|(.+)$")
        if token then
            links[#links + 1] = { token, (doctor:gsub(" ", "+")) }
        end
    end
    math.randomseed(os.time() + tonumber(tostring({}):match("0x(%x+)"), 16) % 1000)
end

-- Each thread hands out the slots of its share of the rate to whichever of
-- its connections is free next. A pause after each answer instead would
-- lower the rate by the answers' own time; a late slot is not made up for
-- with a burst.
local period = 1000 * threads_count / rate
local next_slot = nil
function delay()
    local now = now_ms()
    local slot = (next_slot and next_slot > now) and next_slot or now
    next_slot = slot + period
    return slot - now
end

function request()
    local link = links[math.random(#links)]
    if math.random(100) <= posts then
        local day = string.format("2025-%02d-%02d", math.random(4, 12), math.random(1, 28))
        return wrk.format("POST", "/r/" .. link[1] .. "/reserver",
            { ["Content-Type"] = "application/x-www-form-urlencoded" },
            "medecin=" .. link[2] .. "&jour=" .. day)
    end
    local month = string.format("2025-%02d", math.random(1, 12))
    return wrk.format("GET", "/r/" .. link[1] .. "?medecin=" .. link[2] .. "&mois=" .. month)
end

-- Statuses counted per thread, summed at the end: 200 (page or booking),
-- 409 (a booking the rules refuse), anything else (a fault).
local threads = {}
function setup(thread)
    threads[#threads + 1] = thread
end

ok, refused, other = 0, 0, 0
function response(status, headers, body)
    if status == 200 then
        ok = ok + 1
    elseif status == 409 then
        refused = refused + 1
    else
        other = other + 1
        if other == 1 then
            io.stderr:write("status " .. status .. ": " .. body:sub(1, 200) .. "\n")
        end
    end
end

function done(summary, latency, requests)
    local sums = { 0, 0, 0 }
    for _, t in ipairs(threads) do
        sums[1] = sums[1] + t:get("ok")
        sums[2] = sums[2] + t:get("refused")
        sums[3] = sums[3] + t:get("other")
    end
    io.write(string.format("statuses: %d 200, %d 409, %d other\n", sums[1], sums[2], sums[3]))
end
