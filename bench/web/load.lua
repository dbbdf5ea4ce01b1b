-- wrk script of the booking service's load benchmark (scripts/bench-web.sh):
-- the month page of a random laboratory, doctor and month, and a share of
-- booking POSTs for random days, at a fixed pace per connection so that the
-- whole run asks RATE requests a second over CONNECTIONS connections.
local links = {}
local rate = tonumber(os.getenv("RATE") or "500")
local connections = tonumber(os.getenv("CONNECTIONS") or "10")
local posts = tonumber(os.getenv("POSTS") or "10") -- percent

function init(args)
    for line in io.lines(os.getenv("LINKS")) do
        local token, doctor = line:match("^([^|]+)|(.+)$")
        if token then
            links[#links + 1] = { token, (doctor:gsub(" ", "+")) }
        end
    end
    math.randomseed(os.time() + tonumber(tostring({}):match("0x(%x+)"), 16) % 1000)
end

function delay()
    return 1000 * connections / rate
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
